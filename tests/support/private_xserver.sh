# Sourced by the end-to-end scripts: starts a private X server for one test and exports its
# DISPLAY; the caller kills $xpid when it ends. The server picks a free display itself and names
# it once it accepts clients, so test runs in parallel (here or in other build trees) never race
# for one display number. Without -noreset it would reset each time its last client leaves: a
# program connecting in that moment is refused, and keys bound with xmodmap would be lost.
# Usage: start_private_xserver WORK_DIR   (writes WORK_DIR/display and WORK_DIR/xvfb.log)
start_private_xserver() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3> "$1/display" 2> "$1/xvfb.log" &
  xpid=$!
  for i in $(seq 600); do
    [ -s "$1/display" ] && break
    kill -0 "$xpid" 2> /dev/null || break
    sleep 0.1
  done
  [ -s "$1/display" ] || { echo "FAIL: the X server did not start"; cat "$1/xvfb.log"; exit 1; }
  DISPLAY=:$(tr -d ' \n' < "$1/display")
  export DISPLAY
}
