#!/usr/bin/env bash
# Installs what is missing, builds Pendrel, registers it with the desktop (the same desktop entry,
# AppStream record and icon that `cmake --install` puts in place, the entry pointing at this
# build) so it shows among the applications and opens pendrel:// links, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh build
app="$(pwd)/build/src/pendrel"
data="${XDG_DATA_HOME:-$HOME/.local/share}"
mkdir -p "$data/applications" "$data/metainfo" "$data/icons/hicolor/scalable/apps"
cp resources/app/pendrel.svg "$data/icons/hicolor/scalable/apps/pendrel.svg"
cp resources/app/app.pendrel.pendrel.metainfo.xml "$data/metainfo/"
# The installed entry starts `pendrel` from the PATH; this one starts the build just made.
sed -e "s|^Exec=.*|Exec=\"$app\" %u|" -e "s|^TryExec=.*|TryExec=$app|" \
  resources/app/pendrel.desktop > "$data/applications/pendrel.desktop"
command -v update-desktop-database >/dev/null && update-desktop-database "$data/applications" 2>/dev/null || true
command -v xdg-mime >/dev/null && xdg-mime default pendrel.desktop x-scheme-handler/pendrel 2>/dev/null || true
exec "$app" "$@"
