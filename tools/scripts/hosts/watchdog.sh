#!/usr/bin/env bash
# watchdog.sh SECONDS LOG COMMAND...: runs COMMAND with its output in LOG. When
# it is still running after SECONDS, a backtrace of every thread goes into
# LOG.backtrace (gdb), the command is killed and the exit status is 124.
set -uo pipefail
limit="$1" log="$2"
shift 2
"$@" >"$log" 2>&1 &
pid=$!
for ((waited = 0; waited < limit * 10; waited++)); do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    exit $?
  fi
  sleep 0.1
done
echo "watchdog: still running after ${limit}s: $*" >&2
# The process that hangs is the newest descendant that is still Ardour's
# (ardour7-lua is a shell script that execs luasession).
target="$pid"
for child in $(pgrep -P "$pid"); do target="$child"; done
gdb -p "$target" -batch -ex "thread apply all bt" >"$log.backtrace" 2>&1 || true
kill -KILL "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "watchdog: backtraces in $log.backtrace" >&2
exit 124
