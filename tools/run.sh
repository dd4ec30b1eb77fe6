#!/usr/bin/env bash
# Installs what is missing, builds Pendrel, registers it for pendrel:// links and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh build
app="$(pwd)/build/src/pendrel"
apps="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
mkdir -p "$apps"
icons="${XDG_DATA_HOME:-$HOME/.local/share}/icons/hicolor/scalable/apps"
mkdir -p "$icons" && cp resources/app/pendrel.svg "$icons/pendrel.svg"
cat > "$apps/pendrel.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Pendrel
Comment=Explains what your computer is doing and keeps it in order
Exec="$app" %u
Terminal=false
Icon=pendrel
Categories=System;Utility;
MimeType=x-scheme-handler/pendrel;
DESKTOP
command -v update-desktop-database >/dev/null && update-desktop-database "$apps" 2>/dev/null || true
command -v xdg-mime >/dev/null && xdg-mime default pendrel.desktop x-scheme-handler/pendrel 2>/dev/null || true
exec "$app" "$@"
