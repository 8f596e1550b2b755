#!/usr/bin/env bash
# The layering check on small trees: each case is one file with one include and whether the
# check must refuse it.
# Usage: tests/check_layers_test.sh CHECK_SCRIPT
set -uo pipefail
CHECK=${1:?usage: check_layers_test.sh CHECK_SCRIPT}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# file | include line | refused (1) or passed (0)
cases=(
  'src/data/stage.cpp|#include "app/game.h"|1'
  'src/core/report_log.cpp|#include "data/record.h"|1'
  'src/gfx/dd_blit.cpp|#include "persist/ranking.h"|1'
  'src/audio/bgm.cpp|#include "gfx/dd.h"|1'
  'src/platform/files.cpp|#include "core/globals.h"|1'
  'src/stage/play.h|#include "app/program.h"|1'
  'tests/data/stage_test.cpp|#include "persist/replay.h"|1'
  'src/persist/ranking_draw.cpp|#include "gfx/dd.h"|0'
  'src/stage/play.cpp|#include "flow/runner.h"|1'
  'src/stage/play.h|#include "flow/runner.h"|1'
  'tests/stage/play_test.cpp|#include "flow/runner.h"|0'
  'tests/data/stage_test.cpp|#include "flow/runner.h"|1'
  'src/flow/runner.cpp|#include "stage/play.h"|0'
  'src/app/game.cpp|#include "stage/play.h"|0'
  'src/data/stage.cpp|  #  include "core/report_log.h"|0'
  'tests/data/stage_test.cpp|#include "support/temp_dir.h"|0'
  'src/platform/window/input_devices.cpp|#include <SDL.h>|1'
  'src/gfx/dd_present.cpp|#include <SDL2/SDL.h>|1'
  'src/platform/text/rasterizer.cpp|#include <ft2build.h>|1'
  'src/platform/window/sdl_window_host.cpp|#include <SDL.h>|0'
  'src/platform/midi/fluid_midi_synth.cpp|#include <fluidsynth.h>|0'
)

failed=0
for c in "${cases[@]}"; do
  IFS='|' read -r file include refused <<<"$c"
  rm -rf "$WORK/tree" && mkdir -p "$WORK/tree/$(dirname "$file")"
  printf '%s\n' "$include" >"$WORK/tree/$file"
  bash "$CHECK" "$WORK/tree" >"$WORK/out" 2>&1
  rc=$?
  if [ "$refused" = 1 ] && { [ "$rc" -ne 1 ] || ! grep -q "^$file:1:" "$WORK/out"; }; then
    echo "not refused: $file with $include (status $rc): $(cat "$WORK/out")"
    failed=1
  elif [ "$refused" = 0 ] && [ "$rc" -ne 0 ]; then
    echo "refused: $file with $include: $(cat "$WORK/out")"
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "check_layers: ${#cases[@]} cases as expected"
exit $failed
