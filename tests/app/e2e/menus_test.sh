#!/bin/sh
# End to end under a private X server, all by keys: keys reach the menus (the title's cursor moves
# row by row, with its sound), the options switch the music off and keep it in Option.dat, and a
# challenge stage is entered from its list and left again, its clear shown on the list. The copy
# of the demo is made quick to play (t4_menu_keys prepare): the stage clears on its first frame.
# The other routes through the menus, and the stages played by their key streams, are walked
# headless frame by frame by the program's tests (tests/app/*_path_test.cpp and
# menu_routes_test.cpp), where every frame is exact.
# Every key is held until the window's picture answers it, and the menu cursor's row is read back
# after each arrow (a key a stalled game took twice is undone), so a busy machine makes the run
# slower, not wrong. Every wait has a deadline and a message that names what did not happen.
# Sounds go to a file through SDL's disk driver. E2E_SHOTS=DIR keeps a screenshot of each screen.
# Usage: menus_test.sh PROGRAM KEYS_HELPER DEMO_DIR
set -u
work=$(mktemp -d)
xpid=""
trap '[ -n "$xpid" ] && kill "$xpid" 2> /dev/null; rm -rf "$work"' EXIT
cp -r "$3" "$work/game"
rm -rf "$work/game/user_data/story" "$work/game/user_data/Option.dat"
export TARNWICK4_LOCK_DIR="$work"
here=$(cd "$(dirname "$0")/.." && pwd)
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan_system_libs.supp"
command -v xdotool > /dev/null || { echo "SKIP: no xdotool"; exit 0; }
command -v Xvfb > /dev/null || { echo "SKIP: no Xvfb"; exit 0; }
"$2" prepare "$work/game" || { echo "FAIL: the copy of the demo could not be prepared"; exit 1; }

. "$here/../support/private_xserver.sh"
start_private_xserver "$work"
export SDL_AUDIODRIVER=disk
sh -c '
  prog=$1; keys=$2; game=$3; work=$4; shots=${E2E_SHOTS:-}
  pid=""
  fail() {
    echo "FAIL: $*"
    [ -n "$pid" ] && { kill -0 "$pid" 2> /dev/null && echo "(the program is still running)" || echo "(the program has ended)"; }
    # The program would outlive the test once its X server is gone.
    [ -n "$pid" ] && kill -KILL "$pid" 2> /dev/null
    for f in "$work"/*.out "$work"/*.err "$work/xvfb.log"; do echo "--- $f"; cat "$f"; done 2> /dev/null
    echo "--- report log"
    iconv -f CP932 -t UTF-8 -c "$game/Report_Game.txt" 2> /dev/null | tail -n 20
    exit 1
  }
  shot() {
    [ -n "$shots" ] || return 0
    timeout 20 import -window "$id" "$shots/$1.png" 2> /dev/null || echo "no screenshot $1"
  }
  # Keys and waits, each answered by the screen (see t4_menu_keys).
  drive() { "$keys" drive "$id" "$@" 2>> "$work/keys.err"; }
  # The hash of a settled rectangle of the window.
  region() { drive "$@" | sed -n "s/^hash [^ ]* //p"; }
  # Up to two minutes for a file to be written (or, with a second argument, to change from it).
  wait_file() {
    for i in $(seq 1200); do
      if [ $# -gt 1 ]; then
        [ "$(cksum < "$1")" != "$2" ] && return 0
      else
        [ -s "$1" ] && return 0
      fi
      sleep 0.1
    done
    return 1
  }
  # Non-silent 16-bit samples in the sound file after byte $1.
  loud_after() {
    tail -c +"$(($1 + 1))" "$work/sound.raw" | od -An -v -td2 -w2 | awk "{ if (\$1 > 64 || \$1 < -64) n++ } END { print n + 0 }"
  }
  start() {
    SDL_DISKAUDIOFILE="$work/sound.raw" "$prog" --frames 10000000 "$game" > "$work/$1.out" 2>&1 &
    pid=$!
    id=""
    for i in $(seq 600); do
      id=$(xdotool search --all --onlyvisible --pid "$pid" --class tarnwick4 2> /dev/null | head -n 1)
      [ -n "$id" ] && break
      kill -0 "$pid" 2> /dev/null || break
      sleep 0.1
    done
    [ -n "$id" ] || fail "no window of the program within a minute"
    xdotool windowfocus --sync "$id" 2> /dev/null || xdotool windowfocus "$id"
    drive settle || fail "the title never settled"
  }
  # An orderly end within a minute.
  stop() {
    kill -TERM "$pid"
    for i in $(seq 600); do
      kill -0 "$pid" 2> /dev/null || break
      sleep 0.1
    done
    kill -0 "$pid" 2> /dev/null && fail "the program did not end within a minute of being asked to"
    wait "$pid" || fail "the program did not end in order"
    pid=""
  }
  opt() { od -An -tu4 -j"$1" -N4 "$game/user_data/Option.dat" | tr -d " "; }
  # Where the cursors show: the title menu'"'"'s seven rows (inside its frame) and the options'"'"' six;
  # the value of the options'"'"' second row (music); the cleared sign of a row of the challenge list.
  title=rows=198,246,24,20,32,7
  options=rows=48,96,16,16,16,6
  music=208,112,48,16
  sign() { echo "256,$((160 + 32 * $1)),32,32"; }

  start first
  shot title
  drive $title at=0 || fail "the title menu shows no cursor on its first row"
  # Options (sixth item): music off; button 2 leaves and writes Option.dat.
  drive $title Down:1 Down:2 Down:3 Down:4 Down:5 z || fail "the title cursor did not reach the options, or they did not open"
  drive $options at=0 Down:1 z "toggle=$music,Down" z || fail "the music could not be switched off in the options"
  shot options
  drive x || fail "the options were not left"
  wait_file "$game/user_data/Option.dat" || fail "Option.dat was not written when the options were left"
  [ "$(opt 12)" = 0 ] || fail "Option.dat holds music $(opt 12), not off"
  [ "$(opt 16)" = 7 ] || fail "Option.dat holds volume $(opt 16), not the 7 it had"

  # Back on the title with the music off, the cursor on the options: up to the challenge item,
  # with the cursor sound each time.
  drive $title at=5 || fail "the title did not come back with the cursor on the options"
  quiet=$(stat -c %s "$work/sound.raw")
  drive $title Up:4 Up:3 Up:2 || fail "the title cursor did not move up to the challenge item"
  [ "$(loud_after "$quiet")" -gt 0 ] || fail "the cursor moved without a sound"
  # Challenge select: the record of the second stage shows its sign, the first and third have none.
  drive z || fail "challenge select did not open"
  shot challenge
  unsigned=$(region "hash=$(sign 0)")
  [ -n "$unsigned" ] || fail "the challenge list could not be read"
  [ "$(region "hash=$(sign 1)")" != "$unsigned" ] || fail "the cleared second stage shows no sign"
  [ "$(region "hash=$(sign 2)")" = "$unsigned" ] || fail "the third stage shows a sign"
  # The first stage entered, cleared and left: back on the list with its own sign.
  before=$(cksum < "$game/user_data/challenge/Challenge.dat")
  drive z || fail "the challenge stage was not started"
  wait_file "$game/user_data/challenge/Challenge.dat" "$before" || fail "the challenge stage was not cleared within two minutes (no record written)"
  drive settle || fail "the list did not come back after the stage"
  shot challenge_cleared
  [ "$(region "hash=$(sign 0)")" = "$(region "hash=$(sign 1)")" ] || fail "the cleared first stage shows no sign"
  stop
  echo PASS
' sh "$1" "$2" "$work/game" "$work"
