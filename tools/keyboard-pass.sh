#!/usr/bin/env bash
# A keyboard-only pass of the app in a throw-away X desktop (../shared/tools/xsession: its own
# home, D-Bus session and accessibility bus), in one appearance, then the summary of its focus
# checks and rings. See tools/keyboard_pass.py for what the pass does.
#   tools/keyboard-pass.sh light|dark OUT [SECTION,...]   (PENDREL: the binary to run,
#                                                           default build-asan/src/pendrel)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 light|dark OUT [SECTION,...]" >&2; exit 2; }
appearance=$1 out=$(mkdir -p "$2" && cd "$2" && pwd) sections=${3:-}
export PENDREL=${PENDREL:-$here/../build-asan/src/pendrel}
xsession=${XSESSION:-$here/../../shared/tools/xsession}
if [ "${KEYBOARD_PASS_INSIDE:-}" = 1 ]; then
  # inside the session: the accessibility bus, the app in the tray, a second launch for the window
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$out/atspi.log" 2>&1 &
  sleep 2
  mkdir -p "$XDG_CONFIG_HOME/Pendrel"
  [ "$appearance" = dark ] && printf '{"theme.appearance":"Dark"}' >"$XDG_CONFIG_HOME/Pendrel/defaults.json"
  "$PENDREL" >"$out/app.log" 2>&1 &
  sleep 6
  "$PENDREL" >>"$out/app.log" 2>&1
  sleep 4
  /usr/bin/python3 "$here/keyboard_pass.py" drive "$out" "$sections" || true
  touch "$out/done"
  exit 0
fi
rm -f "$out/done"
# the session waits its whole time out; it is stopped as soon as the pass is done
KEYBOARD_PASS_INSIDE=1 setsid "$xsession" -s "$out" -w 3600 -- "$here/keyboard-pass.sh" "$appearance" "$out" "$sections" >"$out/session.log" 2>&1 &
session=$!
trap 'kill -- -$session 2>/dev/null || true' EXIT
while [ ! -e "$out/done" ] && kill -0 $session 2>/dev/null; do sleep 5; done
/usr/bin/python3 "$here/keyboard_pass.py" summary "$out"
