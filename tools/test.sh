#!/usr/bin/env bash
# Installs what is missing, builds Pendrel and runs every test:
#   1. one build of everything (the app, its tools, every test program and benchmark) with
#      AddressSanitizer and UndefinedBehaviorSanitizer, the leak check on and warnings as errors;
#      tools/check-tree.sh checks the tracked files right after it;
#   2. all tests offscreen in a sandboxed home (ctest), widget tests included, except those that
#      need a bus;
#   3. the D-Bus tests (tests/dbus) on a private session bus of their own, with a throw-away
#      Secret Service on it (tools/keyring-session.sh);
#   4. the concurrency stress tests (tests/tsan) again in a ThreadSanitizer build;
#   5. every loader's fuzz target for a short while (tools/fuzz.sh, FUZZ_SECONDS each, 20 unless
#      set), one target per core; the targets are built alongside steps 2 to 4;
#   6. the formatting check: every C++ file as clang-format writes it.
# Ends with the time each step took. The tests run once, in the sanitizer build, which runs every
# test a plain build would: a second, plain build and run cost a third of CI's time.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
status=0
times=()
mark=$SECONDS
# took STEP: notes how long the step since the last note took.
took() {
  times+=("$(printf '%-34s %5ds' "$1" $((SECONDS - mark)))")
  mark=$SECONDS
}

# -O1 with line tables only compiles in about half the time of -O2 -g and still gives file:line
# stacks. A leak fails the test it happens in: nothing is suppressed.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPENDREL_ASAN=ON \
  -DPENDREL_WERROR=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" >/dev/null
cmake --build build-asan --parallel "$jobs"
took "1. build (ASan/UBSan)"
# What a careless commit takes in: oversized, empty or oddly named files, unknown top-level
# entries, includes that climb out of the include roots, threads started a way of their own.
tools/check-tree.sh || status=1
took "tree check"
# The fuzz targets build on the side, at low priority: the test runs leave cores idle.
mkdir -p build
nice -n 10 tools/fuzz.sh --build-only >build/fuzz-build.log 2>&1 &
fuzz_build=$!

asan=(ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1)
# The launch storm starts 200 instances of the app at once and checks that each hands its link
# over within the wait a launch allows; beside seven other sanitized tests it measures the
# machine's spare cores instead, so it runs alone after them.
storm=SingleInstance.TwoHundredLaunchesAtOnceLoseNoLink
env "${asan[@]}" ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE dbus -E "$storm" ||
  status=1
env "${asan[@]}" ctest --test-dir build-asan --output-on-failure -R "$storm" || status=1
took "2. tests"
if [ -d tests/dbus ] && ls tests/dbus/*.cpp >/dev/null 2>&1; then
  env "${asan[@]}" dbus-run-session -- env PENDREL_TEST_ALLOW_BUS=1 tools/keyring-session.sh \
    ctest --test-dir build-asan --output-on-failure -L dbus || status=1
fi
took "3. D-Bus tests"
if [ -d tests/tsan ] && ls tests/tsan/*.cpp >/dev/null 2>&1; then
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPENDREL_TSAN=ON >/dev/null
  cmake --build build-tsan --parallel "$jobs" --target test_tsan
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(pwd)/tests/tsan/qt.supp" \
    ctest --test-dir build-tsan --output-on-failure -L tsan || status=1
fi
took "4. ThreadSanitizer"

if ! wait "$fuzz_build"; then
  cat build/fuzz-build.log >&2
  status=1
fi
FUZZ_SECONDS=${FUZZ_SECONDS:-20} tools/fuzz.sh || status=1
took "5. fuzz (rest of its build, runs)"
tools/format.sh --check || status=1
took "6. format check"
printf '%s\n' "${times[@]}"
echo "total                              $(printf '%5ds' "$SECONDS")"
exit $status
