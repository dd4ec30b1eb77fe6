#!/usr/bin/env bash
# Installs a build into a throw-away prefix and checks that it lands as a desktop application:
# the program and its defaults tool, a valid desktop entry that claims pendrel:// links, a valid
# AppStream record naming that entry, the scalable icon, and no developer tools.
# Usage: check-install.sh BUILD_DIR. Skips (77) a build that has no app, as a sanitizer build of
# the core tests alone.
set -euo pipefail
build=$1
[ -x "$build/src/pendrel" ] || exit 77
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
status=0
expect() { [ -e "$prefix/$1" ] || { echo "missing: $1"; status=1; }; }
expect bin/pendrel
expect bin/pendrel-defaults
expect share/applications/pendrel.desktop
expect share/metainfo/app.pendrel.pendrel.metainfo.xml
expect share/icons/hicolor/scalable/apps/pendrel.svg
for tool in pendrel-shots vitals-dump; do
  [ ! -e "$prefix/bin/$tool" ] || { echo "installed a developer tool: $tool"; status=1; }
done
entry=$prefix/share/applications/pendrel.desktop
desktop-file-validate "$entry" || status=1
grep -qx 'MimeType=x-scheme-handler/pendrel;' "$entry" || { echo "no pendrel:// claim"; status=1; }
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/app.pendrel.pendrel.metainfo.xml" ||
  status=1
grep -q '<launchable type="desktop-id">pendrel.desktop</launchable>' \
  "$prefix/share/metainfo/app.pendrel.pendrel.metainfo.xml" || { echo "record names no entry"; status=1; }
exit $status
