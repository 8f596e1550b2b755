#!/usr/bin/env bash
# Frames per second of whole stage frames (a demo stage and a heavy stage built by the benchmark),
# the memcpy bandwidth for scale, the program's start-up and its peak memory on the demo, on one
# core. Speed is measured here only, never asserted by the tests.
#   T4_CORE=N   the core to pin the run to (default: the last one); pick one that top shows idle
#   extra arguments go to t4_stage_bench (--typical-frames N, --heavy-frames N, --stage NAME)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DT4_BUILD_BENCH=ON >/dev/null
cmake --build build-bench -j "${T4_JOBS:-$(nproc)}" --target t4_stage_bench tarnwick4
core="${T4_CORE:-$(($(nproc) - 1))}"
taskset -c "$core" build-bench/bench/t4_stage_bench --program build-bench/src/app/tarnwick4 "$@"
