#!/bin/sh
# End to end under a private X server: with Direct3D and WindowMode 2 the player sizes the window
# and the picture fills it with its 4:3 shape kept (black bands on the two other sides); the size
# is kept in Window.dat and comes back at the next start. With WindowMode 1, and with WindowMode 2
# under DirectDraw, the picture keeps its whole-multiple size, centred. The demo's first screen is
# one dark colour edge to edge, so the box of what is not black in a capture of the window is the
# picture's rectangle.
# Usage: window_resize_test.sh PROGRAM DEMO_DIR
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$2" "$work/game"
rm -f "$work/game/user_data/Window.dat"
export TARNWICK4_LOCK_DIR="$work"
here=$(cd "$(dirname "$0")" && pwd)
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan_system_libs.supp"
for tool in xdotool import convert; do
  command -v $tool > /dev/null || { echo "SKIP: no $tool"; exit 0; }
done
export E2E_WAIT="$here/../support/e2e_wait.sh"
xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" sh -c '
  prog=$1; game=$2; work=$3
  . "$E2E_WAIT"
  fail() { echo "FAIL: $*"; cat "$work/a.out"; exit 1; }
  start() {
    printf "Direct3D=$1\nWindowMode=$2\nShowFps=0\nExit\n" > "$game/System.ini"
    "$prog" --frames 100000 "$game" > "$work/a.out" 2>&1 &
    pid=$!
    id=""
    for i in $(seq 600); do
      # Only this run'"'"'s window: the one before can outlive its process for a moment.
      id=$(xdotool search --all --onlyvisible --pid "$pid" --class tarnwick4 2> /dev/null | head -n 1)
      [ -n "$id" ] && break
      kill -0 "$pid" 2> /dev/null || break
      sleep 0.1
    done
    [ -n "$id" ] || fail "no window within a minute (Direct3D=$1, WindowMode=$2)"
  }
  # The picture box after the window took W x H, waiting for the program to draw the new size.
  # The size is asked for again while the window does not have it: start-up, still running when
  # the window first shows, sets the window up again once it knows the mode.
  expect_box() {
    box=""
    for i in $(seq 150); do
      case "$box" in
        "$1x$2 "*) ;;
        *) xdotool windowmove "$id" 0 0 windowsize "$id" "$1" "$2" ;;
      esac
      sleep 0.2
      import -window "$id" "$work/shot.png" 2> /dev/null &&
        box=$(convert "$work/shot.png" -format "%wx%h %@" info: 2> /dev/null)
      [ "$box" = "$1x$2 $3" ] && return 0
    done
    fail "window $1 x $2: picture box (window size, box) \"$box\", wanted \"$1x$2 $3\""
  }
  stop() {
    kill -TERM "$pid"
    wait_end "$pid" 120 || fail "the program did not end with 0 within two minutes"
  }

  start 1 2
  expect_box 1000 600 800x600+100+0
  expect_box 700 900 700x525+0+187
  expect_box 401 500 401x300+0+100
  stop
  # The size the player left is the size of the next start.
  start 1 2
  geometry=""
  for i in $(seq 300); do
    geometry=$(xdotool getwindowgeometry "$id" | grep Geometry)
    [ "$geometry" = "  Geometry: 401x500" ] && break
    sleep 0.1
  done
  [ "$geometry" = "  Geometry: 401x500" ] || fail "the stored size did not come back: $geometry"
  stop

  rm -f "$game/user_data/Window.dat"
  start 1 1
  expect_box 1000 600 640x480+180+60
  stop
  # DirectDraw has no freely sized window: WindowMode 2 is a plain window there.
  rm -f "$game/user_data/Window.dat"
  start 0 2
  expect_box 1000 600 640x480+180+60
  stop
  echo PASS
' sh "$1" "$work/game" "$work"
