#!/bin/sh
# End to end under a private X server without a window manager, in full screen: the X server's
# screen (1280 x 1024) is larger than the game's, and the window keeps its 640 x 480 there. A test
# play of the demo's first stage shows the stage, not the loading picture, and ends on the same
# frame as a headless run in a window; while it plays, the window shows the picture whole at its
# own size (not letter-boxed for the desktop and cut off). E2E_SHOTS=DIR keeps the captures.
# Usage: test_play_fullscreen_test.sh PROGRAM DEMO_DIR
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/support/e2e_game.sh"
. "$here/support/e2e_wait.sh"
e2e_game "$2"
printf 'Direct3D=1\r\nWindowMode=0\r\nShowFps=0\r\nExit\r\n' > "$work/game/System.ini"
command -v xdotool > /dev/null || { echo "SKIP: no xdotool"; exit 0; }
command -v Xvfb > /dev/null || { echo "SKIP: no Xvfb"; exit 0; }
command -v import > /dev/null && command -v compare > /dev/null || { echo "SKIP: no imagemagick"; exit 0; }
prog=$1
stage=data/stg4/demo1-1.stg4
frames=240

timeout 120 "$prog" --headless --window --frames $frames --screenshot "$work/headless.png" --test-play $stage \
  "$work/game" > "$work/headless.out" 2>&1 || fail "the headless test play failed"

. "$here/support/private_xserver.sh"
start_private_xserver "$work"

"$prog" --frames $frames --screenshot "$work/full.png" --test-play $stage "$work/game" > "$work/full.out" 2>&1 &
pid=$!
find_program_window $pid
[ -n "$id" ] || fail "no window of the full-screen test play within a minute"
# The stage stands almost still without keys: a capture of the whole picture differs from the last
# headless frame only where something moves. A picture letter-boxed for the desktop would show a
# magnified corner of the stage with black bars, differing nearly everywhere.
# Looked at again and again while the play runs, for up to two minutes.
whole=0
for i in $(seq 400); do
  kill -0 "$pid" 2> /dev/null || break
  if import -window "$id" "$work/capture.png" 2> /dev/null; then
    size=$(identify -format %wx%h "$work/capture.png" 2> /dev/null)
    if [ "$size" = 640x480 ]; then
      differing=$(compare -metric AE "$work/capture.png" "$work/headless.png" null: 2>&1 | cut -d' ' -f1)
      case $differing in *[!0-9]* | '') differing=307200 ;; esac
      [ "$differing" -lt 30720 ] && { whole=1; break; }
    fi
  fi
  sleep 0.3
done
[ -n "${E2E_SHOTS:-}" ] && [ -f "$work/capture.png" ] && cp "$work/capture.png" "$E2E_SHOTS/test_play_fullscreen.png"
[ "$whole" = 1 ] || fail "the full-screen window never showed the stage whole at its size"
wait_end "$pid" 120
status=$?
pid=""
[ "$status" = 124 ] && fail "the full-screen test play did not end within two minutes of showing the stage"
[ "$status" = 0 ] || fail "the full-screen test play did not end in order (exit status $status)"
cmp -s "$work/headless.png" "$work/full.png" || fail "the full screen's last frame differs from the headless window's"
echo PASS
