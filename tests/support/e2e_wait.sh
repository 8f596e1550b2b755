# Sourced by the end-to-end scripts: bounded waits, so that a step that never happens fails the
# test with its own message instead of running into the test's time limit.
# Usage: wait_end PID SECONDS   the exit status of background process PID, or 124 when it has not
#                               ended within SECONDS (it is then killed)
wait_end() {
  _left=$(($2 * 10))
  while kill -0 "$1" 2> /dev/null; do
    if [ "$_left" -le 0 ]; then
      kill -KILL "$1" 2> /dev/null
      wait "$1" 2> /dev/null
      return 124
    fi
    _left=$((_left - 1))
    sleep 0.1
  done
  wait "$1"
}
