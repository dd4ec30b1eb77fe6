#!/usr/bin/env bash
# keyring-session.sh COMMAND [ARG...]: runs the command beside a throw-away Secret Service on the
# current (private) session bus, for the vault's keyring tests. The keyring daemon gets a home,
# data, config and runtime folder of its own under a temporary folder, so the user's keyrings are
# never read or written; its login keyring is created and unlocked with a fixed password.
# PENDREL_TEST_KEYRING=1 tells the tests that the Secret Service on the bus is this one. Without
# gnome-keyring-daemon, or when it does not come up, the command runs without it (those tests skip).
set -uo pipefail
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  echo "keyring-session: no session bus (run it under dbus-run-session)" >&2
  exit 2
fi
daemon=$(command -v gnome-keyring-daemon || true)
if [ -z "$daemon" ]; then
  echo "keyring-session: gnome-keyring-daemon not installed; keyring tests will skip" >&2
  exec "$@"
fi
tmp=$(mktemp -d)
mkdir -m 700 "$tmp/run"
# Services the bus starts on demand (the keyring's password prompter, asked for when a test locks
# a keyring) inherit the bus's environment, not ours: give them the throw-away home too, or they
# leave a ~/.cache behind in the real one.
dbus-update-activation-environment HOME="$tmp" XDG_DATA_HOME="$tmp/data" \
  XDG_CONFIG_HOME="$tmp/config" XDG_CACHE_HOME="$tmp/cache" XDG_RUNTIME_DIR="$tmp/run" ||
  echo "keyring-session: could not set the bus's activation environment" >&2
printf 'pendrel-test' | env HOME="$tmp" XDG_DATA_HOME="$tmp/data" XDG_CONFIG_HOME="$tmp/config" \
  XDG_CACHE_HOME="$tmp/cache" XDG_RUNTIME_DIR="$tmp/run" \
  "$daemon" --foreground --unlock --components=secrets >"$tmp/daemon.log" 2>&1 &
pid=$!
up=0
for _ in $(seq 100); do
  if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
      grep -q "boolean true"; then
    up=1
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ "$up" = 1 ]; then
  export PENDREL_TEST_KEYRING=1
else
  echo "keyring-session: the keyring daemon did not come up; keyring tests will skip" >&2
  cat "$tmp/daemon.log" >&2
fi
"$@"
status=$?
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
rm -rf "$tmp"
exit $status
