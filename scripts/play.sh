#!/usr/bin/env bash
# Builds the runtime and plays the demo project in a window.
# Extra arguments go to the program (e.g. --scale 2, --fullscreen).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)" --target tarnwick4
exec build/src/app/tarnwick4 "$@"
