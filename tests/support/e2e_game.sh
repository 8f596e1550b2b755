# Sourced by the end-to-end scripts that run the program on a copy of a game: `e2e_game DIR`
# makes the work folder $work (removed at exit, together with the private X server when one was
# started into $xpid and the program while its pid is in $pid), copies DIR into $work/game and
# keeps the program's single-instance lock and leak-check settings to this run; `fail` ends the test with the program's output;
# `find_program_window PID` waits for the program's visible window and puts its id in $id
# (empty when the program ended or showed none). The caller sets $here to the tests folder.
e2e_game() {
  work=$(mktemp -d)
  xpid=""
  pid=""
  trap '[ -n "$pid" ] && kill -KILL "$pid" 2> /dev/null; [ -n "$xpid" ] && kill "$xpid" 2> /dev/null; rm -rf "$work"' EXIT
  cp -r "$1" "$work/game"
  export TARNWICK4_LOCK_DIR="$work"
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/app/lsan_system_libs.supp"
}

fail() {
  echo "FAIL: $*"
  for f in "$work"/*.out "$work/xvfb.log"; do echo "--- $f"; cat "$f"; done 2> /dev/null
  exit 1
}

find_program_window() {
  id=""
  for i in $(seq 600); do
    id=$(xdotool search --onlyvisible --class tarnwick4 2> /dev/null | head -n 1)
    [ -n "$id" ] && break
    kill -0 "$1" 2> /dev/null || break
    sleep 0.1
  done
}
