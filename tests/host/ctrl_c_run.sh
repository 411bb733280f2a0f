#!/bin/sh
# ctrl_c_run.sh WINE-RUN BIN-FOLDER: Ctrl+C to agent-host.exe on a console.
# Wine turns SIGINT into Ctrl+C for a program on a terminal, so the test
# program runs under a pseudo-terminal, starts the host, and says "host
# ready"; this script then sends SIGINT to the host, and the test program
# checks how the host ended.
set -e
wine_run="$1"
cd "$2"
log="$(mktemp)"
script_pid=""
# On any failure the host still ends by itself (--for) and the test program
# then puts back what it changed: wait for it rather than kill it.
finish() {
  [ -z "$script_pid" ] || wait "$script_pid" 2>/dev/null || true
  rm -f "$log"
}
trap finish EXIT
script -qefc "$wine_run host_tests.exe --gtest_also_run_disabled_tests --gtest_filter=AgentHostCtrlC.* --gtest_color=no" \
  "$log" </dev/null >/dev/null 2>&1 &
script_pid=$!

# The terminal shows blanks as cursor moves; compare without any blanks.
shown() { sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g' "$log" | tr -d ' \r'; }
tries=0
until shown | grep -q 'hostready'; do
  tries=$((tries + 1))
  [ $tries -lt 30 ] || { echo "the host did not start"; shown; exit 1; }
  sleep 0.5
done
# Wine reparents the host, but it stays in the test program's process group.
tests_pid="$(pgrep -P "$script_pid")"
host_pid="$(pgrep -x -g "$tests_pid" agent-host.exe)"
kill -INT "$host_pid"
status=0
wait "$script_pid" || status=$?
script_pid=""
shown
[ $status -eq 0 ] && shown | grep -q '\[PASSED\]1test'
