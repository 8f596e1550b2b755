#!/usr/bin/env bash
# The speed goals, measured on one core of a Release build: whole stage frames presented as the
# program presents them (a demo stage, a heavy and a crowded stage built by the benchmark) beside
# the memcpy bandwidth, the program's start-up and peak memory, the drawing cases of every mode as
# ratios to memcpy of the same bytes in the same run, and the MIDI player's cost. Ends with one
# table: each figure, its goal, met or not; exits with 1 when a goal is missed. Speed is measured
# here only, never asserted by the tests.
#   T4_CORE=N   the core to pin the runs to (default: the last one); pick one that top shows idle
#   extra arguments go to t4_stage_bench (--typical-frames N, --heavy-frames N, --crowded-frames N)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DT4_BUILD_BENCH=ON >/dev/null
cmake --build build-bench -j "${T4_JOBS:-$(nproc)}" \
  --target t4_stage_bench t4_raster_bench t4_gfx_bench t4_midi_bench tarnwick4 demo_project
core="${T4_CORE:-$(($(nproc) - 1))}"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0
run() { taskset -c "$core" "$@" | tee -a "$log" || status=1; }
run build-bench/bench/t4_stage_bench --program build-bench/src/app/tarnwick4 "$@"
run build-bench/bench/t4_raster_bench
run build-bench/bench/t4_gfx_bench
run build-bench/bench/t4_midi_bench

echo
printf '%-44s | %-20s | %-11s | %s\n' "figure" "measured" "goal" "met"
grep '^goal |' "$log" | cut -d'|' -f2- | sed 's/^ //'
exit "$status"
