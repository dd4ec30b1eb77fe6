#!/usr/bin/env bash
# Installs the Debian 12 packages Pendrel needs to build, run and test, if any are missing.
# Uses sudo for apt when not run as root.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config git clang-format clang libclang-rt-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
  qt6-image-formats-plugins
  libssl-dev libsecret-1-dev libpoppler-qt6-dev libzip-dev libxcb1-dev libxcb-ewmh-dev libxcb-res0-dev
  libgtest-dev libgmock-dev googletest
  fonts-inter dbus dbus-x11 gnome-keyring python3-dbusmock
  # The accessibility test runs the app on an X server of its own and listens on the desktop's
  # accessibility bus, as a screen reader does.
  xvfb at-spi2-core
  # The cleaning tests read the Trash back with trash-cli; the walk benchmark times with
  # hyperfine and checks its answer against gdu.
  trash-cli hyperfine gdu
  # The install test validates the desktop entry and the AppStream record.
  desktop-file-utils appstream
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
