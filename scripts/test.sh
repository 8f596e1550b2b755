#!/usr/bin/env bash
# Builds the runtime and runs every test: a release build with assertions, then the same tests
# under AddressSanitizer + UndefinedBehaviorSanitizer, then each fuzz target briefly on its corpus.
# Usage: scripts/test.sh [--quick]   (--quick: release build only)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

JOBS=${T4_JOBS:-$(nproc)}
QUICK=0
[ "${1:-}" = "--quick" ] && QUICK=1

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
  # Tests that open windows get a private X server; everything else runs headless.
  ctest --test-dir "$dir" -j "$JOBS" --output-on-failure
}

echo "== release build (assertions on) =="
run_suite build

if [ "$QUICK" -eq 0 ]; then
  echo "== sanitizer build (address, undefined) =="
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite build-asan -DT4_SANITIZE=ON

  if [ -f fuzz/CMakeLists.txt ]; then
    echo "== fuzz targets (short runs on the committed corpus) =="
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DT4_BUILD_FUZZ=ON -DT4_BUILD_TESTS=OFF >/dev/null
    cmake --build build-fuzz -j "$JOBS" --target fuzz_all
    bash fuzz/run.sh build-fuzz
  fi
fi
