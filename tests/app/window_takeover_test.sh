#!/bin/sh
# End to end under a private X server: the demo project opens its 640 x 480 window named after the
# project; a second copy asks (scripted answer) and leaves, or takes over: the first copy then
# closes in order and keeps its window placement in Window.dat.
# Usage: window_takeover_test.sh PROGRAM DEMO_DIR
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$2" "$work/game"
export TARNWICK4_LOCK_DIR="$work"
here=$(cd "$(dirname "$0")" && pwd)
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan_system_libs.supp"
export E2E_WAIT="$here/../support/e2e_wait.sh"
xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" sh -c '
  prog=$1; game=$2; work=$3
  . "$E2E_WAIT"
  fail() { echo "FAIL: $*"; cat "$work/a.out"; exit 1; }
  "$prog" --frames 100000 "$game" > "$work/a.out" 2>&1 &
  first=$!
  for i in $(seq 600); do
    [ -n "$(cat "$work"/tarnwick4-*.lock 2>/dev/null)" ] && break
    kill -0 "$first" 2> /dev/null || break
    sleep 0.1
  done
  [ -n "$(cat "$work"/tarnwick4-*.lock 2>/dev/null)" ] || fail "the first copy took no single-instance lock within a minute"
  if command -v xdotool > /dev/null; then
    id=""
    for i in $(seq 600); do
      id=$(xdotool search --onlyvisible --class tarnwick4 2> /dev/null | head -n 1)
      [ -n "$id" ] && break
      kill -0 "$first" 2> /dev/null || break
      sleep 0.1
    done
    [ -n "$id" ] || fail "no window of the first copy within a minute"
    xdotool getwindowname "$id" | grep -q "デモ" || fail "the window is not named after the project"
    xdotool getwindowgeometry "$id" | grep -q "Geometry: 640x480" || fail "window is not 640 x 480"
  fi
  TARNWICK4_ANSWERS=no timeout 120 "$prog" --headless --frames 5 "$game" > /dev/null 2>&1 || fail "No did not end with 0 within two minutes"
  kill -0 "$first" 2> /dev/null || fail "No ended the first copy"
  TARNWICK4_ANSWERS=yes timeout 120 "$prog" --headless --frames 30 "$game" > "$work/b.out" 2>&1 ||
    fail "the second copy did not take over within two minutes"
  wait_end "$first" 120 || fail "the first copy did not end with 0 within two minutes of the takeover"
  [ -s "$game/user_data/Window.dat" ] || fail "Window.dat was not saved at the orderly close"
  echo PASS
' sh "$1" "$work/game" "$work"
