#!/usr/bin/env bash
# Builds the loaders' fuzz targets (tests/fuzz, clang + libFuzzer + ASan/UBSan) into build-fuzz/
# and runs each one, seeded with its fixtures, for FUZZ_SECONDS seconds (20 unless set), or for
# FUZZ_RUNS inputs when that is set. A target's tokens, when it has a tests/fuzz/<target>.dict,
# guide the mutations. Fails when a target finds a crash, a hang or undefined
# behaviour; the input that did it is left in build-fuzz/findings/.
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
cmake --build build-fuzz --parallel "${FUZZ_JOBS:-4}"

status=0
mkdir -p build-fuzz/findings
for target in "${!seeds[@]}"; do
  corpus=build-fuzz/corpus/$target
  mkdir -p "$corpus"
  limit=(-max_total_time="$seconds")
  if [ -n "$runs" ]; then limit=(-runs="$runs"); fi
  dict=()
  if [ -f "tests/fuzz/$target.dict" ]; then dict=(-dict="tests/fuzz/$target.dict"); fi
  echo "fuzz_$target: ${limit[*]}"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "build-fuzz/fuzz_$target" "${limit[@]}" "${dict[@]}" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" \
      "$corpus" "${seeds[$target]}" 2>"build-fuzz/$target.log"; then
    tail -n 40 "build-fuzz/$target.log" >&2
    status=1
  fi
  grep -E "^(stat::number_of_executed_units|Done)" "build-fuzz/$target.log" || true
done
exit $status
