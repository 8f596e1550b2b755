#!/bin/sh
# End to end under a private X server: a test play of the demo's first stage in a real window
# (after the start-up dialog's default choice) shows the stage, the same frame as a headless run of as many frames (the program's own
# screenshot of its last frame), and a capture of the window while it plays is a picture, not an
# empty window. E2E_SHOTS=DIR keeps the captures for a person to look at.
# Usage: test_play_window_test.sh PROGRAM DEMO_DIR
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/support/e2e_game.sh"
e2e_game "$2"
printf 'Direct3D=2\nWindowMode=1\nShowFps=0\nExit\n' > "$work/game/System.ini"
command -v xdotool > /dev/null || { echo "SKIP: no xdotool"; exit 0; }
command -v Xvfb > /dev/null || { echo "SKIP: no Xvfb"; exit 0; }
prog=$1
stage=data/stg4/demo1-1.stg4
frames=240

timeout 120 "$prog" --headless --frames $frames --screenshot "$work/headless.png" --test-play $stage "$work/game" \
  > "$work/headless.out" 2>&1 || fail "the headless test play failed"

. "$here/support/private_xserver.sh"
start_private_xserver "$work"

"$prog" --window --frames $frames --screenshot "$work/window.png" --test-play $stage "$work/game" \
  > "$work/window.out" 2>&1 &
pid=$!
# The start-up dialog comes first, in the window the game then plays in: its default button
# starts the game in the render mode.
find_program_window $pid
[ -n "$id" ] || fail "no window of the test play"
xdotool key --window "$id" Return
# The stage shows once the start-up dialog is gone and the first frames are drawn; a busy machine
# takes its time, so the window is looked at again and again while the play runs.
if command -v import > /dev/null && command -v convert > /dev/null; then
  colours=0
  while kill -0 "$pid" 2> /dev/null; do
    if import -window "$id" "$work/capture.png" 2> /dev/null; then
      colours=$(convert "$work/capture.png" -format %k info: 2> /dev/null || echo 0)
      [ "${colours:-0}" -ge 8 ] && break
    fi
    sleep 0.3
  done
  [ -n "${E2E_SHOTS:-}" ] && [ -f "$work/capture.png" ] && cp "$work/capture.png" "$E2E_SHOTS/test_play_window.png"
  [ "${colours:-0}" -ge 8 ] || fail "the window showed $colours colours, never the stage"
fi
wait "$pid" || fail "the windowed test play did not end in order"
cmp -s "$work/headless.png" "$work/window.png" || fail "the window's last frame differs from the headless one"
echo PASS
