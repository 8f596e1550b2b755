#!/bin/sh
# End to end under a private X server: the start-up dialog of the program is answered with keys
# and its choice stored in Boot.dat (the next start does not ask); a stage file and a replay name
# are chosen in the file selection with the keyboard; a ranking name is typed into the name entry
# and stored in Shift-JIS. E2E_SHOTS=DIR keeps a screenshot of each dialog.
# Usage: dialogs_test.sh PROGRAM DRIVER DEMO_DIR
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$3" "$work/game"
printf 'Direct3D=2\nWindowMode=1\nShowFps=0\nExit\n' > "$work/game/System.ini"
rm -f "$work/game/user_data/Boot.dat"
mkdir -p "$work/game/user_data/rpl4"
export TARNWICK4_LOCK_DIR="$work"
shots=${E2E_SHOTS:-$work/shots}
mkdir -p "$shots"
here=$(cd "$(dirname "$0")/.." && pwd)
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan_system_libs.supp"
command -v xdotool > /dev/null || { echo "SKIP: no xdotool"; exit 0; }
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  prog=$1; driver=$2; game=$3; work=$4; shots=$5
  fail() { echo "FAIL: $*"; cat "$work"/*.out 2> /dev/null; exit 1; }
  find_window() {
    id=""
    for i in $(seq 100); do
      id=$(xdotool search --class "$1" 2> /dev/null | head -n 1)
      [ -n "$id" ] && break
      sleep 0.1
    done
    [ -n "$id" ] || fail "no window of class $1"
    sleep 1
  }
  shot() { import -window "$id" "$shots/$1.png" 2> /dev/null || fail "no screenshot $1"; }

  # The start-up dialog cancelled: the program ends as a failed start and stores nothing.
  "$prog" --frames 100000 "$game" > "$work/cancel.out" 2>&1 &
  pid=$!
  find_window tarnwick4
  xdotool key --window "$id" Tab Return
  wait "$pid" && fail "a cancelled start-up ended with 0"
  [ -e "$game/user_data/Boot.dat" ] && fail "Cancel stored Boot.dat"

  # The start-up dialog: to DirectDraw, tick "do not ask again", start.
  "$prog" --frames 100000 "$game" > "$work/boot.out" 2>&1 &
  pid=$!
  find_window tarnwick4
  shot boot
  xdotool key --window "$id" Tab Tab Right Tab space
  sleep 0.3
  shot boot_changed
  xdotool key --window "$id" Return
  sleep 1
  kill -0 "$pid" 2> /dev/null || fail "the program ended after Start"
  xdotool key --window "$id" Escape
  wait "$pid" || fail "the program did not end in order"
  bytes=$(od -An -tx1 -j8 -N8 "$game/user_data/Boot.dat" | tr -d " \n")
  [ "$bytes" = "0000000001000000" ] || fail "Boot.dat holds $bytes, not DirectDraw and do-not-ask"
  # Asked again, the run would wait for an answer and never play its frames.
  timeout 30 "$prog" --frames 30 "$game" > "$work/second.out" 2>&1 || fail "the second start asked again"

  # Free play: the second-last stage file of the list, with End, Up and Enter.
  "$driver" stage "$game" > "$work/stage.out" 2>&1 &
  pid=$!
  find_window t4_dialog_driver
  xdotool key --window "$id" Down End Up
  sleep 0.3
  shot file_stage
  xdotool key --window "$id" Return
  wait "$pid" || fail "the stage dialog was not confirmed"
  grep -q "^chosen data.stg4.demo1-2.stg4_001$" "$work/stage.out" || fail "wrong stage file"

  # Saving a replay under the proposed new name.
  "$driver" save "$game" > "$work/save.out" 2>&1 &
  pid=$!
  find_window t4_dialog_driver
  shot file_save
  xdotool key --window "$id" Return
  wait "$pid" || fail "the save dialog was not confirmed"
  grep -q "^chosen user_data.rpl4.stage_e2e.rpl4_902$" "$work/save.out" || fail "wrong replay name"

  # The ranking name: typed over the selected old name, three characters at most.
  "$driver" name "$game" > "$work/name.out" 2>&1 &
  pid=$!
  find_window t4_dialog_driver
  shot name
  # Slowly: xdotool types a kana by remapping a spare key, and a key event read after the next
  # remap would show the next kana.
  xdotool type --window "$id" --delay 250 "XYあいう"
  sleep 0.5
  sleep 0.3
  shot name_typed
  xdotool key --window "$id" Return
  wait "$pid" || fail "the name was not stored"
  grep -q "^name 58 59 82 A0$" "$work/name.out" || fail "the name is not XYあ in Shift-JIS"
  echo PASS
' sh "$1" "$2" "$work/game" "$work" "$shots"
