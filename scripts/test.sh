#!/usr/bin/env bash
# Builds the runtime and runs every test: a release build with assertions, then the same tests
# under AddressSanitizer + UndefinedBehaviorSanitizer, then the threaded parts under
# ThreadSanitizer, then each fuzz target briefly on its corpus.
# Usage: scripts/test.sh [--quick]   (--quick: release build only)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

JOBS=${T4_JOBS:-$(nproc)}
QUICK=0
[ "${1:-}" = "--quick" ] && QUICK=1

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DT4_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
  # The headless tests share the cores. The tests that open windows (label "window") each start a
  # private X server and wait on what the screen shows: they run afterwards, one at a time, with
  # the machine to themselves, so a parallel run cannot starve them into missing their waits.
  ctest --test-dir "$dir" -j "$JOBS" --output-on-failure -LE window ${CTEST_EXCLUDE:+-E "$CTEST_EXCLUDE"}
  ctest --test-dir "$dir" --output-on-failure -L window ${CTEST_EXCLUDE:+-E "$CTEST_EXCLUDE"}
}

thread_sanitizer_stage() {
  # -O1 as for the other sanitizer: it is there to find races, not to run fast.
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Release -DT4_WERROR=ON -DT4_TSAN=ON \
    -DCMAKE_CXX_FLAGS_RELEASE=-O1 >/dev/null
  cmake --build build-tsan -j "$JOBS" --target t4_core_tests t4_platform_tests t4_app_tests tarnwick4 demo_project
  export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
  for suite in core/t4_core_tests platform/t4_platform_tests app/t4_app_tests; do
    "build-tsan/tests/$suite" --gtest_brief=1
  done
  local demo
  demo=$(mktemp -d)
  cp -r build-tsan/demo/. "$demo"
  TARNWICK4_LOCK_DIR="$demo" build-tsan/src/app/tarnwick4 --headless --frames 600 "$demo"
  rm -rf "$demo"
  unset TSAN_OPTIONS
}

fuzz_stage() {
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE=-O1 -DT4_BUILD_FUZZ=ON -DT4_BUILD_TESTS=OFF >/dev/null
  cmake --build build-fuzz -j "$JOBS" --target fuzz_all
  bash fuzz/run.sh build-fuzz
}

# Each stage ends with its processor time, the figure that tells how the command fares on a small
# machine (CI must stay well inside its limit on two cores).
TIMEFORMAT="-- stage done: %U s user, %S s system, %R s elapsed"

echo "== release build (assertions on) =="
time run_suite build

if [ "$QUICK" -eq 0 ]; then
  # The sanitizer and fuzz builds compile at -O1: they are there to find faults, and -O3 would
  # double their build time for tests that run in seconds either way.
  echo "== sanitizer build (address, undefined) =="
  # The keyboard test in a real window takes minutes of waiting on the screen; the scenes it
  # walks through are covered under the sanitizers by the headless scene and route tests.
  time CTEST_EXCLUDE=tarnwick4_menus_e2e ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite build-asan -DT4_SANITIZE=ON -DCMAKE_CXX_FLAGS_RELEASE=-O1

  echo "== thread sanitizer (core, platform and program tests, a headless run) =="
  time thread_sanitizer_stage

  if [ -f fuzz/CMakeLists.txt ]; then
    echo "== fuzz targets (short runs on the committed corpus) =="
    time fuzz_stage
  fi
fi
