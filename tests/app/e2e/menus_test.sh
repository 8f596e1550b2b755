#!/bin/sh
# End to end under a private X server, all by keys: the demo starts at its title menu and the
# cursor moves with its sound; the options change the palette variation, the music, the volume and
# the ranking entry and keep them in Option.dat; a new game in a story slot reaches the world map,
# the meadow's stage is entered and cleared and the map shows the point cleared; the world-map
# menu saves to a slot, and a new run continues from it with the clear kept; challenge select
# lists the records and a cleared challenge stage adds its own. The copy of the demo is made quick
# to play (t4_menu_keys prepare): the stages clear on their first frame, since key streams that
# play the real stages need exact frames, which the headless tests give them.
# Every key is held until the window's picture answers it, then the screen is left to settle
# (t4_menu_keys drive), so a busy machine makes the run slower, not wrong. Sounds go to a file
# through SDL's disk driver. E2E_SHOTS=DIR keeps a screenshot of each screen.
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
  wait_file() {
    for i in $(seq 1200); do
      [ -s "$1" ] && return 0
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
      sleep 0.1
    done
    [ -n "$id" ] || fail "no window"
    xdotool windowfocus --sync "$id" 2> /dev/null || xdotool windowfocus "$id"
    drive settle || fail "the title never settled"
  }
  stop() {
    kill -TERM "$pid"
    wait "$pid" || fail "the program did not end in order"
  }
  opt() { od -An -tu4 -j"$1" -N4 "$game/user_data/Option.dat" | tr -d " "; }
  # The walker steps in place on the map; the point east of him, and the cleared sign of a row of
  # the challenge list.
  walker=mask=288,224,32,32
  point=320,224,32,32
  sign() { echo "256,$((160 + 32 * $1)),32,32"; }

  # The first row of the title menu: its caption, without the cursor.
  caption=226,242,180,28
  start first
  shot title
  first_caption=$(region "hash=$caption")

  # Options (sixth item): palette variation 0 -> 1, music off, volume 7 -> 6, ranking entry
  # 0 -> 1; button 2 leaves and writes Option.dat.
  drive Down Down Down Down Down z || fail "the options did not open"
  drive z Up z Down z Down z Down z Down z Down z Up z || fail "the options did not change"
  shot options
  drive x || fail "the options were not left"
  wait_file "$game/user_data/Option.dat" || fail "Option.dat was not written when the options were left"
  [ "$(opt 8)" = 1 ] || fail "Option.dat holds palette variation $(opt 8), not 1"
  [ "$(opt 12)" = 0 ] || fail "Option.dat holds music $(opt 12), not off"
  [ "$(opt 16)" = 6 ] || fail "Option.dat holds volume $(opt 16), not 6"
  [ "$(opt 20)" = 1 ] || fail "Option.dat holds ranking entry $(opt 20), not 1"

  # Back on the title with the music off, the cursor on the options: up to the new game, with the
  # cursor sound each time.
  drive settle || fail "the title never settled again"
  quiet=$(stat -c %s "$work/sound.raw")
  drive Up Up Up Up Up || fail "the title cursor did not move"
  [ "$(loud_after "$quiet")" -gt 0 ] || fail "the cursor moved without a sound"
  # New game in the first (free) slot.
  drive z z $walker || fail "the new game did not reach the world map"
  shot worldmap
  # East along the road to the cell before the meadow, whose point shows open.
  drive $walker Right Right Right || fail "the walker did not walk"
  open=$(region $walker "hash=$point")
  # Onto the meadow: it asks at once, on "no"; up to "yes" and into the stage, which is cleared
  # and leaves by itself; arriving from the stage with auto-save on writes the slot.
  drive $walker Right Up z || fail "the meadow was not entered"
  wait_file "$game/user_data/story/Story01.dat" || fail "no return to the map after the stage"
  drive $walker settle Left || fail "the walker did not step back"
  shot cleared
  cleared=$(region $walker "hash=$point")
  [ -n "$cleared" ] && [ "$cleared" != "$open" ] || fail "the meadow point does not show cleared"

  # The world-map menu: save into the second slot, after the question.
  drive $walker x || fail "the world-map menu did not open"
  shot mapmenu
  drive z Down z Up z || fail "the save was not confirmed"
  wait_file "$game/user_data/story/Story02.dat" || fail "the story was not saved to the second slot"
  stop

  # A new run continues from the second slot: the map with the meadow cleared.
  start second
  drive Down z Down z $walker || fail "continue did not reach the world map"
  [ "$(region $walker "hash=$point")" = "$cleared" ] || fail "the continued map does not show the meadow cleared"
  shot continued

  # Back to the title through the world-map menu, and on to challenge select: the record of the
  # second stage shows its sign, the first and third have none.
  drive $walker x || fail "the world-map menu did not open"
  drive Down Down Down z Up z || fail "the world-map menu did not return to the title"
  drive Down z || fail "challenge select did not open"
  shot challenge
  unsigned=$(region "hash=$(sign 0)")
  [ "$(region "hash=$(sign 1)")" != "$unsigned" ] || fail "the cleared second stage shows no sign"
  [ "$(region "hash=$(sign 2)")" = "$unsigned" ] || fail "the third stage shows a sign"
  # The first stage played and cleared: back on the list with its own sign.
  before=$(cksum < "$game/user_data/challenge/Challenge.dat")
  drive z || fail "the challenge stage was not started"
  for i in $(seq 1200); do
    [ "$(cksum < "$game/user_data/challenge/Challenge.dat")" != "$before" ] && break
    sleep 0.1
  done
  drive settle || fail "the list did not come back"
  shot challenge_cleared
  [ "$(region "hash=$(sign 0)")" = "$(region "hash=$(sign 1)")" ] || fail "the cleared first stage shows no sign"
  stop

  # The title shows the project'"'"'s texts: another caption in System.dat shows on the first row.
  "$keys" caption "$game" START || fail "System.dat could not be changed"
  start third
  shot title_caption
  [ "$(region "hash=$caption")" != "$first_caption" ] || fail "the title does not show the caption System.dat gives"
  stop
  echo PASS
' sh "$1" "$2" "$work/game" "$work"
