#!/usr/bin/env bash
# One hour of play headless (216,000 frames, unpaced) on a stage that summons and removes
# characters without end, sampling the memory along the run; fails when it grows after the first
# tenth by more than the bound. Then the replay suite, when the build has one, shows the play is
# unchanged. Not part of the test command: it takes a few minutes of one core.
#   T4_CORE=N   the core to pin the run to (default: the last one)
#   extra arguments go to t4_long_run (--frames N, --samples N, --bound-kib N)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DT4_BUILD_BENCH=ON >/dev/null
cmake --build build-bench -j "${T4_JOBS:-$(nproc)}" --target t4_long_run
core="${T4_CORE:-$(($(nproc) - 1))}"
taskset -c "$core" build-bench/bench/t4_long_run "$@"

if ctest --test-dir build-bench -N -R '[Rr]eplay' | grep -q 'Test *#'; then
  cmake --build build-bench -j "${T4_JOBS:-$(nproc)}"
  ctest --test-dir build-bench -R '[Rr]eplay' --output-on-failure
fi
