#!/bin/sh
# End to end under a private X server: the demo starts at its title menu; the options change the
# palette variation and are kept in Option.dat; a new game in a story slot reaches the world map,
# the walker steps onto the first stage and declines it, and the world-map menu saves the story
# to its slot. Keys go to the window through the X test extension, held long enough for a frame
# to see them; every X client call has a time limit, so that a stuck one fails the step instead
# of the whole test. E2E_SHOTS=DIR keeps a screenshot of each screen.
# Usage: menus_test.sh PROGRAM DEMO_DIR
set -u
work=$(mktemp -d)
xpid=""
trap '[ -n "$xpid" ] && kill "$xpid" 2> /dev/null; rm -rf "$work"' EXIT
cp -r "$2" "$work/game"
export TARNWICK4_LOCK_DIR="$work"
here=$(cd "$(dirname "$0")/.." && pwd)
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan_system_libs.supp"
command -v xdotool > /dev/null || { echo "SKIP: no xdotool"; exit 0; }
command -v Xvfb > /dev/null || { echo "SKIP: no Xvfb"; exit 0; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3> "$work/display" 2> "$work/xvfb.log" &
xpid=$!
for i in $(seq 600); do
  [ -s "$work/display" ] && break
  kill -0 "$xpid" 2> /dev/null || break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "FAIL: the X server did not start"; cat "$work/xvfb.log"; exit 1; }
DISPLAY=:$(tr -d ' \n' < "$work/display")
export DISPLAY
sh -c '
  prog=$1; game=$2; work=$3; shots=${E2E_SHOTS:-}
  fail() {
    echo "FAIL: $*"
    for f in "$work"/*.out "$work/xvfb.log"; do echo "--- $f"; cat "$f"; done 2> /dev/null
    exit 1
  }
  shot() {
    [ -n "$shots" ] || return 0
    timeout 20 import -window "$id" "$shots/$1.png" 2> /dev/null || echo "no screenshot $1"
  }
  wait_file() {
    for i in $(seq 300); do
      [ -s "$1" ] && return 0
      sleep 0.1
    done
    return 1
  }
  # A key held and released: the menus act once on a newly pressed key. A button may be held long
  # (it acts once however long), so that a frame sees it on a busy machine; an arrow is released
  # before the key repeat of the menus (18 frames) would step again.
  key() {
    for k in "$@"; do
      hold=0.2
      case "$k" in z|x) hold=0.6 ;; esac
      timeout 10 xdotool keydown "$k"
      sleep "$hold"
      timeout 10 xdotool keyup "$k"
      # A frame must see the key up, or the next press reads as the same one held.
      sleep 0.6
    done
  }
  # Fades take nine frames; a machine busy with a parallel build and test run gets room.
  settle() { sleep 2.5; }
  # A menu that shows the same picture twice in a row has ended its fade and reads keys (start-up
  # on a busy machine can take long).
  wait_still() {
    prev=""
    for i in $(seq 60); do
      timeout 20 import -window "$id" "$work/still.png" 2> /dev/null
      cur=$(md5sum < "$work/still.png" 2> /dev/null)
      [ -n "$prev" ] && [ "$cur" = "$prev" ] && return 0
      prev=$cur
      sleep 0.5
    done
    return 1
  }

  "$prog" --frames 1000000 "$game" > "$work/game.out" 2>&1 &
  pid=$!
  id=""
  for i in $(seq 600); do
    id=$(xdotool search --all --onlyvisible --pid "$pid" --class tarnwick4 2> /dev/null | head -n 1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || fail "no window"
  xdotool windowfocus --sync "$id" 2> /dev/null || xdotool windowfocus "$id"
  wait_still || fail "the title never settled"
  shot title

  # Options (sixth item): palette variation 0 -> 1, kept; button 2 leaves and writes Option.dat.
  key Down Down Down Down Down z
  settle
  wait_still || fail "the options never settled"
  key z Up
  shot options
  key z x
  wait_file "$game/user_data/Option.dat" || fail "Option.dat was not written when the options were left"
  settle
  wait_still || fail "the title never settled again"

  # Back on the title, the cursor on the options: up to the new game, the first (free) slot.
  key Up Up Up Up Up z
  sleep 1
  shot slots
  key z
  settle
  shot worldmap
  # East along the road: three steps, then the meadow point asks; decline.
  key Right Right Right Right
  # The question loads the stage file first.
  settle
  shot confirm
  key x
  sleep 1
  # The world-map menu: save to the first slot after the question.
  key x
  settle
  shot mapmenu
  key z
  settle
  key z
  settle
  key Up z
  wait_file "$game/user_data/story/Story01.dat" || fail "the story was not saved to its slot"
  kill -TERM "$pid"
  wait "$pid" || fail "the program did not end in order"
  # The data version, the member count, then the palette variation first.
  variation=$(od -An -tu4 -j8 -N4 "$game/user_data/Option.dat" | tr -d " ")
  [ "$variation" = 1 ] || fail "Option.dat holds palette variation $variation, not 1"
  echo PASS
' sh "$1" "$work/game" "$work"
