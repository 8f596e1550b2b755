#!/bin/sh
# End to end under a private X server: a test play of the demo's first stage in a real window
# (after the start-up dialog's default choice) shows the stage, the same frame as a headless run
# of as many frames (the program's own screenshot of its last frame), and a capture of the window
# while it plays is a picture, not an empty window. E2E_SHOTS=DIR keeps the captures for a person
# to look at. Every wait has a deadline and says what did not happen.
# Usage: test_play_window_test.sh PROGRAM DEMO_DIR
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/support/e2e_game.sh"
. "$here/support/e2e_wait.sh"
e2e_game "$2"
printf 'Direct3D=2\nWindowMode=1\nShowFps=0\nExit\n' > "$work/game/System.ini"
for tool in xdotool Xvfb import convert; do
  command -v $tool > /dev/null || { echo "SKIP: no $tool"; exit 0; }
done
prog=$1
stage=data/stg4/demo1-1.stg4
frames=240

timeout 120 "$prog" --headless --frames $frames --screenshot "$work/headless.png" --test-play $stage "$work/game" \
  > "$work/headless.out" 2>&1 || fail "the headless test play failed (or took more than two minutes)"

. "$here/support/private_xserver.sh"
start_private_xserver "$work"

"$prog" --window --frames $frames --screenshot "$work/window.png" --test-play $stage "$work/game" \
  > "$work/window.out" 2>&1 &
pid=$!
find_program_window $pid
[ -n "$id" ] || fail "no window of the test play within a minute"

# The colours of a capture of the window (0 when it cannot be taken). An empty window has one,
# the start-up dialog a few (it is drawn without smoothing), the stage many.
colours() {
  import -window "$id" "$work/capture.png" 2> /dev/null &&
    convert "$work/capture.png" -format %k info: 2> /dev/null || echo 0
}
dialog() { [ "$1" -ge 2 ] && [ "$1" -lt 8 ]; }

# The start-up dialog comes first, in the window the game then plays in. Its default button is
# pressed once the dialog shows, and pressed again only while the dialog still shows long after.
seen=0
for i in $(seq 600); do
  seen=$(colours)
  dialog "$seen" && break
  kill -0 "$pid" 2> /dev/null || fail "the program ended before its start-up dialog showed"
  sleep 0.1
done
dialog "$seen" || fail "the start-up dialog did not show within a minute (the window showed $seen colours)"
[ -n "${E2E_SHOTS:-}" ] && cp "$work/capture.png" "$E2E_SHOTS/test_play_dialog.png"
xdotool key --window "$id" Return
# The stage shows once the dialog is gone and the first frames are drawn; a busy machine takes
# its time, so the window is looked at again and again, for up to two minutes.
presses=1
since=0
for i in $(seq 400); do
  seen=$(colours)
  [ "$seen" -ge 8 ] && break
  kill -0 "$pid" 2> /dev/null || break
  if dialog "$seen"; then
    since=$((since + 1))
    if [ "$since" -ge 50 ] && [ "$presses" -lt 3 ]; then
      xdotool key --window "$id" Return
      presses=$((presses + 1))
      since=0
    fi
  fi
  sleep 0.3
done
[ -n "${E2E_SHOTS:-}" ] && [ -f "$work/capture.png" ] && cp "$work/capture.png" "$E2E_SHOTS/test_play_window.png"
[ "$seen" -ge 8 ] || fail "the window never showed the stage: $seen colours at the end, Return pressed $presses times"
wait_end "$pid" 120
status=$?
pid=""
[ "$status" = 124 ] && fail "the windowed test play did not end within two minutes of showing the stage"
[ "$status" = 0 ] || fail "the windowed test play did not end in order (exit status $status)"
cmp -s "$work/headless.png" "$work/window.png" || fail "the window's last frame differs from the headless one"
echo PASS
