#!/usr/bin/env bash
# Installs what is missing, builds Pendrel and runs every test:
#   1. all tests offscreen in a sandboxed home (ctest), except those that need a bus;
#   2. the D-Bus tests (tests/dbus) on a private session bus of their own, with a throw-away
#      Secret Service on it (tools/keyring-session.sh);
#   3. the concurrency stress tests (tests/tsan) again in a ThreadSanitizer build;
#   4. the core test programs (those without widgets, D-Bus ones included) again in an
#      AddressSanitizer and UndefinedBehaviorSanitizer build, leak check on;
#   5. every loader's fuzz target for a short while (tools/fuzz.sh, FUZZ_SECONDS each, 20 unless
#      set);
#   6. the formatting check: every C++ file as clang-format writes it.
# The build treats warnings as errors, and tools/check-tree.sh checks the tracked files right
# after it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh build -DPENDREL_WERROR=ON
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
status=0
# What a careless commit takes in: oversized, empty or oddly named files, unknown top-level
# entries, includes that climb out of the include roots, threads started a way of their own.
tools/check-tree.sh || status=1
ctest --test-dir build --output-on-failure -j "$jobs" -LE dbus || status=1
if [ -d tests/dbus ] && ls tests/dbus/*.cpp >/dev/null 2>&1; then
  dbus-run-session -- env PENDREL_TEST_ALLOW_BUS=1 tools/keyring-session.sh \
    ctest --test-dir build --output-on-failure -L dbus || status=1
fi
if [ -d tests/tsan ] && ls tests/tsan/*.cpp >/dev/null 2>&1; then
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPENDREL_TSAN=ON >/dev/null
  cmake --build build-tsan --parallel "$jobs" --target test_tsan
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(pwd)/tests/tsan/qt.supp" \
    ctest --test-dir build-tsan --output-on-failure -L tsan || status=1
fi
# The ASan/UBSan pass. -O1 with line tables only compiles in about half the time of -O2 -g and
# still gives file:line stacks. Only the core test programs are built; ctest lists the widget ones
# as *_NOT_BUILT, and those are left out. A leak fails the test it happens in: nothing is
# suppressed.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPENDREL_ASAN=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" >/dev/null
cmake --build build-asan --parallel "$jobs" --target core_tests
asan=(ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1)
env "${asan[@]}" ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE dbus \
  -E '_NOT_BUILT$' || status=1
env "${asan[@]}" dbus-run-session -- env PENDREL_TEST_ALLOW_BUS=1 tools/keyring-session.sh \
  ctest --test-dir build-asan --output-on-failure -L dbus || status=1
FUZZ_SECONDS=${FUZZ_SECONDS:-20} tools/fuzz.sh || status=1
tools/format.sh --check || status=1
exit $status
