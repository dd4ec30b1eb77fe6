#!/usr/bin/env bash
# app-heartbeat.sh: the running app's heartbeat (PENDREL_STALL_LOG, platform/StallLog.h) over the
# heavy cases a real home makes, driven as a user would in a throw-away X desktop.
#
#   bench/app-heartbeat.sh [-b BUILD_DIR] [-o OUT_DIR] [-c CASE,CASE…]
#
#   -b  the build whose src/pendrel runs (build-asan beside this script unless told)
#   -o  where the logs, screenshots and summary.txt go (a fresh folder under /tmp unless told)
#   -c  some of: timeline, folder, duplicates, organizer, compare (all unless told)
#
# Every case starts the app afresh (in the tray, then a second launch opens the window), with its
# own data seeded into the sandboxed home and its own log, and quits it with Ctrl+Q:
#
#   timeline    the Timeline opened with 400 entries of 1,000 different characters, then left
#               alone for 30 s (its 1 s tick)
#   folder      Browse Storage opening a folder of 50,000 files
#   duplicates  the duplicate scan of 7,000 pairs of identical files until its result arrives, then
#               "Clean all" over them (the delete code is read through the accessibility bus, so
#               this case runs with accessibility on)
#   organizer   the organizer's preview and apply over 3,000 month-old files in Downloads
#   compare     a file compare of a 19,000-line text and its edit (over 20,000 rows) until the
#               line-by-line view has loaded
#
# Each phase of a case prints the longest gap the log saw in it (the most a 5 ms tick came late;
# "<50" when no tick came more than 50 ms late), the main thread's CPU time in that gap, the
# number of gaps over 50 ms, and the main thread's CPU time over the whole phase (from /proc), with
# the load average: the figures depend on the machine's load. The screenshots (OUT_DIR/*.png)
# show that each case really ran. Needs the X desktop of shared/tools/xsession (it installs what
# it lacks) and python3; XSESSION names another copy of it.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$here")

if [ "${APP_HEARTBEAT_INSIDE:-}" != 1 ]; then
  build=$repo/build-asan out= cases=timeline,folder,duplicates,organizer,compare
  while getopts "b:o:c:h" opt; do
    case $opt in
      b) build=$(cd "$OPTARG" && pwd) ;;
      o) out=$OPTARG ;;
      c) cases=$OPTARG ;;
      *) sed -n '2,30p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 2 ;;
    esac
  done
  [ -x "$build/src/pendrel" ] || { echo "no app at $build/src/pendrel: build target pendrel" >&2; exit 2; }
  [ -n "$out" ] || out=$(mktemp -d /tmp/app-heartbeat.XXXXXX)
  mkdir -p "$out"; out=$(cd "$out" && pwd)
  xsession=${XSESSION:-$repo/../shared/tools/xsession}
  [ -x "$xsession" ] || xsession=/work/shared/tools/xsession
  export APP_HEARTBEAT_INSIDE=1 APP_HEARTBEAT_APP=$build/src/pendrel APP_HEARTBEAT_OUT=$out \
         APP_HEARTBEAT_CASES=$cases
  # The session's wait is only a ceiling: the run ends it as soon as its cases are done.
  "$xsession" -s "$out/xsession" -w 1800 -- "${BASH_SOURCE[0]}" > "$out/session.log" 2>&1 || true
  cat "$out/summary.txt" 2>/dev/null || { echo "no summary; see $out/session.log" >&2; exit 1; }
  echo "logs and screenshots: $out"
  exit 0
fi

# ---- Inside the X session: HOME and the XDG folders are the sandbox's.
app=$APP_HEARTBEAT_APP out=$APP_HEARTBEAT_OUT
summary=$out/summary.txt
: > "$summary"
data=${XDG_DATA_HOME:-$HOME/.local/share}
pid= log= mark=0 cpu0=0 t0=0

say() { echo "$*" | tee -a "$summary"; }

# The main thread's CPU time so far, in ms (the main thread's id is the process's).
main_cpu_ms() {
  local stat
  stat=$(cat "/proc/$pid/task/$pid/stat" 2>/dev/null) || { echo 0; return; }
  stat=${stat##*) }
  # After the command's closing parenthesis: utime and stime are fields 12 and 13.
  echo "$stat" | awk -v hz="$(getconf CLK_TCK)" '{ printf "%d", ($12 + $13) * 1000 / hz }'
}

shot() { import -window root "$out/$1.png" 2>/dev/null || true; }

# Starts the app with its log, waits for it to sit in the tray, then opens the window (at `link`).
start_app() {
  local name=$1 link=${2:-}
  log=$out/$name.log
  rm -f "$log"
  PENDREL_STALL_LOG=$log "$app" > "$out/$name.app.log" 2>&1 &
  pid=$!
  for _ in $(seq 300); do grep -q ' start ' "$log" 2>/dev/null && break; sleep 0.1; done
  sleep 5
  if [ -n "$link" ]; then "$app" "$link" >> "$out/$name.app.log" 2>&1; else "$app" >> "$out/$name.app.log" 2>&1; fi
  sleep 4
  # The window in front, for the keys that follow.
  local wid
  wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | tail -1 || true)
  [ -n "$wid" ] && xdotool windowactivate --sync "$wid" 2>/dev/null || true
  sleep 1
}

# A phase starts: what the log and the main thread held until now is not its own.
begin() {
  mark=$(wc -l < "$log")
  cpu0=$(main_cpu_ms)
  t0=$(date +%s.%N)
}

# A phase ends: its longest gap, that gap's CPU, its gaps over 50 ms, its main-thread CPU.
end() {
  local label=$1 cpu1 secs figures
  cpu1=$(main_cpu_ms)
  secs=$(echo "$(date +%s.%N) $t0" | awk '{ printf "%.1f", $1 - $2 }')
  figures=$(tail -n +"$((mark + 1))" "$log" | awk '
    / late_ms=/ {
      for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
      n++; if (v["late_ms"] + 0 > longest) { longest = v["late_ms"] + 0; cpu = v["cpu_ms"] }
    }
    END {
      if (n) printf "longest_ms=%.0f gap_cpu_ms=%.0f gaps_over_50=%d", longest, cpu, n
      else printf "longest_ms=<50 gap_cpu_ms=- gaps_over_50=0"
    }')
  say "$(printf '%-24s %s main_cpu_ms=%d over %ss  load=%s' "$label" "$figures" \
    "$((cpu1 - cpu0))" "$secs" "$(cut -d' ' -f1-3 /proc/loadavg)")"
}

# Quits with Ctrl+Q (the log's closing line then holds the run's longest gap, start-up included).
quit_app() {
  local name=$1 wid
  wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | tail -1 || true)
  [ -n "$wid" ] && xdotool windowactivate --sync "$wid" key ctrl+q 2>/dev/null || true
  for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    say "$name: did not quit within 60 s; stopped"
    kill "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
  local last
  last=$(grep ' quit ' "$log" 2>/dev/null | tail -1 || true)
  [ -n "$last" ] || last=$(awk '/ late_ms=/ { split($2, kv, "="); if (kv[2] + 0 > m) m = kv[2] + 0 }
    END { printf " quit longest_ms=%.1f (no closing line: from the gaps)", m }' "$log")
  say "$(printf '%-24s %s' "$name (whole run)" "${last#* quit }")"
}

# Waits until the screen stops changing (two equal screenshots 2 s apart), at most `secs`.
wait_still() {
  local secs=$1 a b
  a=$(mktemp --suffix=.png); b=$(mktemp --suffix=.png)
  import -window root "$a" 2>/dev/null || true
  for _ in $(seq $((secs / 2))); do
    sleep 2
    import -window root "$b" 2>/dev/null || true
    cmp -s "$a" "$b" && break
    cp "$b" "$a"
  done
  rm -f "$a" "$b"
}

# Types a path into the file dialog that has just opened, and accepts it.
pick_in_dialog() {
  sleep 2
  xdotool key ctrl+a
  xdotool type --delay 5 "$1"
  sleep 0.5
  xdotool key Return
}

# ---- The data of each case

seed_timeline() {
  mkdir -p "$data/Pendrel"
  python3 - "$data/Pendrel/timeline.v1.json" <<'EOF'
import json, sys, time, uuid
words = ("your disk holds more than it seems because caches logs and old downloads add up over "
         "months while the largest folders are rarely the ones you open every day so a look at "
         "the caches the Trash and mail attachments often frees several gigabytes without "
         "touching a single document").split()
now = time.time() - 978307200  # seconds since 1 January 2001
entries = []
for i in range(400):
    seed = (2654435761 * (i + 1)) & 0xffffffff
    answer = "Answer %d: " % i
    while len(answer) < 1000:
        seed = (seed * 1664525 + 1013904223) & 0xffffffff
        answer += words[(seed >> 8) % len(words)]
        answer += ". " if (seed >> 4) % 11 == 0 else " "
    entries.append({"id": str(uuid.uuid4()).upper(), "date": now - 60 * i, "kind": "askAnswer",
                    "title": "Question %d: why is my disk so full this week?" % i,
                    "detail": answer[:1000], "pinned": False})
json.dump(entries, open(sys.argv[1], "w"))
EOF
}

seed_folder() {
  python3 - "$HOME/Many files" <<'EOF'
import os, sys
root = sys.argv[1]
os.makedirs(root, exist_ok=True)
for i in range(50000):
    with open(os.path.join(root, "file %05d.txt" % i), "wb") as f:
        f.write(b"x" * (1 + i % 4000))
EOF
}

seed_duplicates() {
  python3 - "$HOME/Duplicates" <<'EOF'
import os, sys
root = sys.argv[1]
stems = ["IMG_", "scan ", "invoice-", "track ", "backup of report ", "clip"]
exts = [".jpg", ".pdf", ".docx", ".mp3", ".zip", ".mov"]
for g in range(7000):
    size = 1100 + (g * 7919) % 7000
    body = bytearray(os.urandom(size))
    body[0:16] = str(g).rjust(16, "0").encode()
    name = stems[g % 6] + str(g) + exts[(g // 6) % 6]
    folder = os.path.join(root, str(g % 40), str(g % 7))
    copies = os.path.join(root, "copies %d" % (g % 25))
    os.makedirs(folder, exist_ok=True); os.makedirs(copies, exist_ok=True)
    for path in (os.path.join(folder, name), os.path.join(copies, "copy of " + name)):
        with open(path, "wb") as f:
            f.write(body)
EOF
}

# Loose files in Downloads, a month old (the organizer leaves the recent ones).
seed_organizer() {
  python3 - "$HOME/Downloads" <<'EOF'
import os, sys
root = sys.argv[1]
os.makedirs(root, exist_ok=True)
exts = [".jpg", ".png", ".pdf", ".docx", ".mp3", ".mov", ".zip", ".txt", ".py", ".xlsx"]
for i in range(3000):
    with open(os.path.join(root, "item %04d%s" % (i, exts[i % len(exts)])), "wb") as f:
        f.write(b"y" * 100)
EOF
  find "$HOME/Downloads" -type f -exec touch -d '30 days ago' {} +
}

# A text of 19,000 lines and its edit (every 7th line changed, every 11th dropped, one added
# before every 13th): over 20,000 rows of a line-by-line view, each side within its line limit.
seed_compare() {
  python3 - "$HOME/Compare" <<'EOF'
import os, sys
root = sys.argv[1]
os.makedirs(root, exist_ok=True)
left, right = [], []
for i in range(19000):
    line = "    value_%d = compute(%d);\n" % (i, i * 31 % 1000)
    left.append(line)
    if i % 13 == 0:
        right.append("    // inserted before %d\n" % i)
    if i % 11 == 0:
        continue
    right.append("    value_%d = changed();\n" % i if i % 7 == 0 else line)
open(os.path.join(root, "before.txt"), "w").write("".join(left))
open(os.path.join(root, "after.txt"), "w").write("".join(right))
EOF
}

# ---- The cases (coordinates are the window's at 1440x900 under the session's window manager)

case_timeline() {
  seed_timeline
  start_app timeline
  begin
  xdotool mousemove 183 341 click 1 # the sidebar's Pendrel Timeline
  sleep 5
  end "timeline open"
  shot timeline-open
  begin
  sleep 30
  end "timeline left 30 s"
  shot timeline-idle
  quit_app timeline
  rm -f "$data/Pendrel/timeline.v1.json"
}

case_folder() {
  seed_folder
  start_app folder
  xdotool mousemove 181 456 click 1 # the sidebar's Browse Storage
  wait_still 60
  shot folder-home
  begin
  # The folder is the only row of the home: the list takes the focus, Return opens the row.
  xdotool mousemove 640 232 click --repeat 2 --delay 120 1
  wait_still 120
  end "folder of 50,000 open"
  shot folder-open
  quit_app folder
  rm -rf "$HOME/Many files"
}

case_duplicates() {
  seed_duplicates
  # The delete code is read from the screen reader's tree.
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  /usr/libexec/at-spi-bus-launcher --launch-immediately > /dev/null 2>&1 &
  local bus=$!
  sleep 2
  start_app duplicates pendrel://duplicates
  xdotool mousemove 1157 144 click 1 # Choose folder…
  begin
  pick_in_dialog "$HOME/Duplicates"
  wait_still 300
  end "duplicate scan result"
  shot duplicates-found
  begin
  xdotool mousemove 969 150 click 1 # Clean all · trash 7000
  sleep 3
  shot duplicates-confirm
  local code
  # The system's Python: it has the accessibility bindings.
  code=$(/usr/bin/python3 "$here/support/delete-code.py" 2>/dev/null || true)
  if [ -z "$code" ]; then
    say "duplicates: no delete code could be read; the clean was not confirmed"
    xdotool key Escape
  else
    xdotool type "$code"
    sleep 0.5
    xdotool mousemove 770 554 click 1 # Move to Trash
  fi
  wait_still 600
  end "clean all 7,000 pairs"
  shot duplicates-cleaned
  quit_app duplicates
  unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON
  kill "$bus" 2>/dev/null || true
  say "duplicates: $(find "$data/Trash/files" -type f 2>/dev/null | wc -l) files in the Trash (code ${code:-none})"
  rm -rf "$HOME/Duplicates" "$data/Trash"
}

case_organizer() {
  seed_organizer
  start_app organizer pendrel://storage/organizer
  sleep 3
  begin
  xdotool mousemove 1165 188 click 1 # Preview plan
  wait_still 120
  end "organizer preview"
  shot organizer-plan
  begin
  xdotool mousemove 1138 546 click 1 # Apply selected
  wait_still 300
  end "organizer apply"
  shot organizer-applied
  quit_app organizer
  say "organizer: $(find "$HOME/Downloads" -maxdepth 1 -type f | wc -l) files left loose in Downloads"
  rm -rf "$HOME/Downloads"
}

case_compare() {
  seed_compare
  start_app compare
  xdotool mousemove 190 500 click 5 click 5 click 5 click 5 click 5 click 5 # the sidebar's end
  sleep 1
  xdotool mousemove 163 412 click 1 # Compare
  sleep 2
  xdotool mousemove 544 195 click 1 # First file
  pick_in_dialog "$HOME/Compare/before.txt"
  sleep 2
  begin
  xdotool mousemove 1008 195 click 1 # Second file
  pick_in_dialog "$HOME/Compare/after.txt"
  wait_still 120
  end "compare loaded"
  shot compare-loaded
  begin
  xdotool mousemove 700 500 click 1 # into the rows
  xdotool key End
  wait_still 60
  end "compare End pressed"
  shot compare-end
  quit_app compare
  rm -rf "$HOME/Compare"
}

say "app: $app"
say "load at start: $(cat /proc/loadavg)"
IFS=, read -r -a wanted <<< "$APP_HEARTBEAT_CASES"
for c in "${wanted[@]}"; do
  "case_$c" || say "$c: the case failed"
done
say "load at end: $(cat /proc/loadavg)"

# Done: end the session's wait (the sleep its runner started beside this script) so it does not
# sit out its ceiling.
for p in $(ps -o pid=,comm= --ppid "$PPID" | awk '$2 == "sleep" { print $1 }'); do
  kill "$p" 2>/dev/null || true
done
