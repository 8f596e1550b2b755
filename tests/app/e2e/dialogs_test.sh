#!/bin/sh
# End to end under a private X server: the start-up dialog of the program is answered with keys
# and its choice stored in Boot.dat (the next start does not ask); a stage file and a replay name
# are chosen in the file selection with the keyboard; a ranking name is typed into the name entry
# and stored in Shift-JIS; in a played stage F1 saves a replay under the name the game proposes.
# E2E_SHOTS=DIR keeps a screenshot of each dialog.
# Every step waits for a condition (a window shown, a file written, a process ended), with room
# for a machine busy with a parallel build and test run.
# Usage: dialogs_test.sh PROGRAM DRIVER DEMO_DIR
set -u
work=$(mktemp -d)
xpid=""
trap '[ -n "$xpid" ] && kill "$xpid" 2> /dev/null; rm -rf "$work"' EXIT
cp -r "$3" "$work/game"
printf 'Direct3D=2\nWindowMode=1\nShowFps=0\nExit\n' > "$work/game/System.ini"
rm -f "$work/game/user_data/Boot.dat"
mkdir -p "$work/game/user_data/rpl4"
export TARNWICK4_LOCK_DIR="$work"
here=$(cd "$(dirname "$0")/.." && pwd)
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan_system_libs.supp"
command -v xdotool > /dev/null || { echo "SKIP: no xdotool"; exit 0; }
command -v Xvfb > /dev/null || { echo "SKIP: no Xvfb"; exit 0; }

. "$here/../support/private_xserver.sh"
start_private_xserver "$work"
# Kana are bound to spare keys before any client starts, so xdotool types them without
# remapping a key for each one (a client busy when the map changes again would read the wrong kana).
if command -v xmodmap > /dev/null; then
  xmodmap -e "keycode 250 = U3042" -e "keycode 251 = U3044" -e "keycode 252 = U3046" 2> /dev/null || true
fi
export E2E_WAIT="$here/../support/e2e_wait.sh"
sh -c '
  prog=$1; driver=$2; game=$3; work=$4; shots=$5
  . "$E2E_WAIT"
  # The process just started ends with 0, and within two minutes (a dialog that takes no keys
  # would hold it): otherwise the test fails with message $1.
  end_ok() {
    wait_end "$pid" 120
    case $? in
      0) ;;
      124) fail "$1: still running after two minutes" ;;
      *) fail "$1" ;;
    esac
  }
  fail() {
    echo "FAIL: $*"
    for f in "$work"/*.out "$work/xvfb.log"; do echo "--- $f"; cat "$f"; done 2> /dev/null
    exit 1
  }
  # Keys sent to the window wait in its queue until the dialog reads them, so a shown window is
  # enough to start typing. Only the window of the process just started counts: the window of the
  # one before can outlive its process for a moment, until the server notices it left.
  find_window() {
    id=""
    for i in $(seq 600); do
      id=$(xdotool search --all --onlyvisible --pid "$pid" --class "$1" 2> /dev/null | head -n 1)
      [ -n "$id" ] && break
      sleep 0.1
    done
    [ -n "$id" ] || fail "no window of class $1"
  }
  # Keys that end a dialog. The window can be gone before xdotool sends the last key-up (it then
  # reports BadWindow): when it pressed through the server, that key would stay down and the next
  # program would read it as a fresh press on its first focus. Releasing them keeps steps apart.
  last_keys() {
    xdotool key --window "$id" "$@" 2>> "$work/xdotool.out"
    xdotool keyup Return Escape 2>> "$work/xdotool.out"
  }
  # Screenshots only on request; they are for a person to look at, not checked here.
  shot() {
    [ -n "$shots" ] || return 0
    sleep 1
    import -window "$id" "$shots/$1.png" 2> /dev/null || echo "no screenshot $1"
  }
  wait_file() {
    for i in $(seq 600); do
      [ -e "$1" ] && return 0
      sleep 0.1
    done
    return 1
  }

  # The start-up dialog cancelled: the program ends as a failed start and stores nothing.
  "$prog" --frames 100000 "$game" > "$work/cancel.out" 2>&1 &
  pid=$!
  find_window tarnwick4
  last_keys Tab Return
  wait_end "$pid" 120
  case $? in
    0) fail "a cancelled start-up ended with 0" ;;
    124) fail "the cancelled start-up was still running after two minutes" ;;
  esac
  [ -e "$game/user_data/Boot.dat" ] && fail "Cancel stored Boot.dat"

  # The start-up dialog: to DirectDraw, tick "do not ask again", start.
  "$prog" --frames 100000 "$game" > "$work/boot.out" 2>&1 &
  pid=$!
  find_window tarnwick4
  shot boot
  xdotool key --window "$id" Tab Tab Right Tab space
  shot boot_changed
  last_keys Return
  wait_file "$game/user_data/Boot.dat" || fail "Start stored no Boot.dat"
  # Still playing once start-up is over and the title shows (a picture of many colours, where the
  # dialog has a few): a busy machine takes its time to load, and the close is meant for the game.
  if command -v import > /dev/null && command -v convert > /dev/null; then
    colours=0
    for i in $(seq 400); do
      import -window "$id" "$work/title.png" 2> /dev/null &&
        colours=$(convert "$work/title.png" -format %k info: 2> /dev/null || echo 0)
      [ "${colours:-0}" -ge 8 ] && break
      kill -0 "$pid" 2> /dev/null || break
      sleep 0.3
    done
    [ "${colours:-0}" -ge 8 ] || fail "the title did not show after Start (the window showed $colours colours)"
  fi
  sleep 1
  kill -0 "$pid" 2> /dev/null || fail "the program ended after Start"
  last_keys Escape
  end_ok "the program did not end in order"
  bytes=$(od -An -tx1 -j8 -N8 "$game/user_data/Boot.dat" | tr -d " \n")
  [ "$bytes" = "0000000001000000" ] || fail "Boot.dat holds $bytes, not DirectDraw and do-not-ask"
  # Asked again, the run would wait for an answer and never play its frames.
  timeout 120 "$prog" --frames 30 "$game" > "$work/second.out" 2>&1 || fail "the second start asked again"

  # Free play: the second-last stage file of the list, with End, Up and Enter.
  "$driver" stage "$game" > "$work/stage.out" 2>&1 &
  pid=$!
  find_window t4_dialog_driver
  xdotool key --window "$id" Down End Up
  shot file_stage
  last_keys Return
  end_ok "the stage dialog was not confirmed"
  grep -q "^chosen data.stg4.demo3-1.stg4_001$" "$work/stage.out" || fail "wrong stage file"

  # Saving a replay under the proposed new name.
  "$driver" save "$game" > "$work/save.out" 2>&1 &
  pid=$!
  find_window t4_dialog_driver
  shot file_save
  last_keys Return
  end_ok "the save dialog was not confirmed"
  grep -q "^chosen user_data.rpl4.stage_e2e.rpl4_902$" "$work/save.out" || fail "wrong replay name"

  # The ranking name: typed over the selected old name, three characters at most.
  "$driver" name "$game" > "$work/name.out" 2>&1 &
  pid=$!
  find_window t4_dialog_driver
  shot name
  # Slowly where the kana could not be bound beforehand: then xdotool remaps a spare key for
  # each kana.
  xdotool type --window "$id" --delay 250 "XYあいう"
  shot name_typed
  last_keys Return
  end_ok "the name was not stored"
  grep -q "^name 58 59 82 A0$" "$work/name.out" || fail "the name is not XYあ in Shift-JIS"

  # The game itself: a stage named in System.ini is played at once, F1 asks where to save the
  # replay, and Enter takes the name the game proposes. F1 counts only once play has recorded
  # something, so it is tried again until a replay file appears.
  printf "%s\n" Direct3D=2 WindowMode=1 ShowFps=0 "FreeStage=data\\stg4\\demo1-1.stg4_001" Exit > "$game/System.ini"
  "$prog" --frames 1000000 "$game" > "$work/replay.out" 2>&1 &
  pid=$!
  find_window tarnwick4
  xdotool windowfocus --sync "$id" 2> /dev/null || xdotool windowfocus "$id"
  saved=""
  for try in 1 2 3 4 5 6 7 8; do
    sleep 2
    xdotool keydown F1
    sleep 0.3
    xdotool keyup F1
    sleep 1
    [ "$try" = 1 ] && shot file_replay
    xdotool key Return
    for i in $(seq 30); do
      saved=$(ls "$game"/user_data/rpl4/demo1__*.rpl4_902 2> /dev/null | head -n 1)
      [ -n "$saved" ] && break
      sleep 0.1
    done
    [ -n "$saved" ] && break
  done
  [ -n "$saved" ] || fail "F1 and Enter saved no replay under the proposed name"
  kill -TERM "$pid"
  end_ok "the program did not end in order after the replay was saved"
  version=$(od -An -tu4 -N4 "$saved" | tr -d " ")
  [ "$version" = 902 ] || fail "the replay file starts with $version, not the data version"
  echo PASS
' sh "$1" "$2" "$work/game" "$work" "${E2E_SHOTS:-}"
