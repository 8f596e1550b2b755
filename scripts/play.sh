#!/usr/bin/env bash
# Builds the runtime and the demo project and plays the demo from its title menu in a window.
# Extra arguments go to the program (e.g. --scale 2, --fullscreen, --frames 600); a last argument
# that is a folder plays that project instead of the demo.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "${T4_JOBS:-$(nproc)}" --target tarnwick4 demo_project
project=build/demo
if [ $# -gt 0 ] && [ -d "${!#}" ]; then
  project="${!#}"
  set -- "${@:1:$(($# - 1))}"
fi
exec build/src/app/tarnwick4 "$@" "$project"
