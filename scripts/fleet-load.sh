#!/bin/sh
# fleet-load.sh CSV...: loads report CSVs (mardonel-report --csv) into the
# fleet database that the PG* variables name, in one transaction. Rows
# already loaded are updated, never doubled. When a file is not the report's
# CSV, nothing at all is loaded and its first bad line is named.
set -e
[ $# -gt 0 ] || { echo "usage: $0 CSV..." >&2; exit 2; }
root="$(cd "$(dirname "$0")/.." && pwd)"
FLEET_WORK="$(mktemp -d)"
trap 'rm -rf "$FLEET_WORK"' EXIT
export FLEET_WORK FLEET_AWK="$root/fleet/report-csv.awk" FLEET_RUNS="$root/fleet/runs.awk"
for file; do
  # The checker takes one name a line.
  case "$file" in *"
"*) echo "$0: a file name holds a line break: $file" >&2; exit 2 ;; esac
  [ -f "$file" ] && [ -r "$file" ] || { echo "$0: $file: not a readable file; nothing loaded" >&2; exit 1; }
  [ -s "$file" ] || { echo "$0: $file: empty, not the report's CSV; nothing loaded" >&2; exit 1; }
  printf '%s\n' "$file"
done >"$FLEET_WORK/files"

# Stopped, the load ends its session and waits for it, so that nothing is
# committed after this script has said what happened, and nothing of it is
# left running.
stop() {
  trap - HUP INT TERM
  kill "$load" 2>/dev/null || :
  wait "$load" 2>/dev/null || :
  outcome="nothing loaded"
  if [ -s "$FLEET_WORK/session" ]; then
    IFS='|' read -r backend xid <"$FLEET_WORK/session"
    outcome="$(psql -X -A -t -c "select pg_terminate_backend($backend, 60000)" -c "select case txid_status($xid)
      when 'committed' then 'the load had committed' when 'aborted' then 'nothing loaded' else 'the load may still commit' end" \
      2>/dev/null | tail -1)"
    [ -n "$outcome" ] || outcome="the database cannot be reached to tell whether the load committed"
  fi
  # The awk that psql runs last (the checker, or the runs' count) writes
  # into the work folder.
  if [ -s "$FLEET_WORK/awk" ]; then
    awk="$(cat "$FLEET_WORK/awk")"
    kill "$awk" 2>/dev/null || :
    while kill -0 "$awk" 2>/dev/null; do sleep 0.1; done
  fi
  echo "$0: stopped; $outcome" >&2
  exit 1
}
trap stop HUP INT TERM
psql -X -q -f "$root/fleet/load.sql" 2>"$FLEET_WORK/errors" &
load=$!
status=0
wait $load || status=$?
[ $status -ne 0 ] || exit 0
# The server names a row that the table's checks refused by its place in the
# stream; the checker noted where each file's rows begin.
awk -v starts="$FLEET_WORK/starts" '
  / ERROR: / { why = $0; sub(/.* ERROR: +/, "", why) }
  /violates check constraint "day_length"/ { why = "seconds do not add up to one day (23 to 25 hours)" }
  /violates check constraint "record_times"/ { why = "first_record and last_record are not two times of that day, in order" }
  /^CONTEXT: +COPY fleet_(days|incoming), line [0-9]+/ {
    match($0, /line [0-9]+/)
    row = substr($0, RSTART + 5, RLENGTH - 5) + 0
    while ((getline start < starts) > 0 && start + 0 < row) {
      before = start + 0
      name = substr(start, index(start, " ") + 1)
    }
    if (name != "") printf "%s:%d: %s\n", name, row - before + 1, why
  }' "$FLEET_WORK/errors" >>"$FLEET_WORK/refused"
if [ -s "$FLEET_WORK/refused" ]; then
  cat "$FLEET_WORK/refused" >&2
  echo "$0: not the report's CSV; nothing loaded" >&2
else
  cat "$FLEET_WORK/errors" >&2
fi
exit 1
