#!/usr/bin/env bash
# Builds the loaders' fuzz targets (tests/fuzz, clang + libFuzzer + ASan/UBSan) into build-fuzz/
# and runs each one, seeded with its fixtures, for FUZZ_SECONDS seconds (20 unless set), or for
# FUZZ_RUNS inputs when that is set. A target's tokens, when it has a tests/fuzz/<target>.dict,
# guide the mutations. The targets run side by side, FUZZ_JOBS at a time (one per core unless
# set). Fails when a target finds a crash, a hang or undefined behaviour; the input that did it is
# left in build-fuzz/findings/. With --build-only, builds the targets and runs none.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
seconds=${FUZZ_SECONDS:-20}
runs=${FUZZ_RUNS:-}

# Each target and the fixture folder its corpus starts from.
declare -A seeds=(
  [timeline_loader]=tests/fixtures/assistant
  [desktop_entry]=tests/fixtures/startup/desktop
  [unit_file]=tests/fixtures/startup/units
  [defaults_domain]=tests/fixtures/startup/defaults
  [automation_states]=tests/fixtures/automation
  [info_plist]=tests/fixtures/apps/plist
  [apps_cache]=tests/fixtures/apps/cache
  [secure_notes_index]=tests/fixtures/vault
  [organizer_journal]=tests/fixtures/organizer
  [disk_trend]=tests/fixtures/storage
  [jpeg_dc_image]=tests/fixtures/platform
)

cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)"
[ "${1:-}" = "--build-only" ] && exit 0

# fuzz_one TARGET: one target's run; its log is build-fuzz/TARGET.log, and what it found is told
# on stderr. Each run is one process on one core.
fuzz_one() {
  local target=$1 corpus=build-fuzz/corpus/$1
  mkdir -p "$corpus"
  local limit=(-max_total_time="$seconds")
  if [ -n "$runs" ]; then limit=(-runs="$runs"); fi
  local dict=()
  if [ -f "tests/fuzz/$target.dict" ]; then dict=(-dict="tests/fuzz/$target.dict"); fi
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "build-fuzz/fuzz_$target" "${limit[@]}" "${dict[@]}" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" \
      "$corpus" "${seeds[$target]}" 2>"build-fuzz/$target.log"; then
    { echo "fuzz_$target: FAILED"; tail -n 40 "build-fuzz/$target.log"; } >&2
    return 1
  fi
  echo "fuzz_$target: ${limit[*]}" \
    "$(grep -E "^stat::number_of_executed_units" "build-fuzz/$target.log" || true)"
}

# One target per core keeps each one's run as long as when they ran one after another, and the
# pass takes two or three times FUZZ_SECONDS instead of eleven.
status=0
mkdir -p build-fuzz/findings
jobs=${FUZZ_JOBS:-$(nproc)}
running=0
for target in "${!seeds[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
  fuzz_one "$target" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status
