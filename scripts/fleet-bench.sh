#!/bin/sh
# fleet-bench.sh: 100,000 machines x 30 days (3 million rows) through the
# fleet loader and each query, on a throwaway server in BUILD_DIR/fleet-bench.
# Each figure is a ratio to a plain baseline measured in the same run: the
# load to a bare COPY of the same file into an unindexed table, the median of
# RUNS (default 5) rounds that do both, each step after a checkpoint; a
# query, at its best of RUNS, to one sequential count(*) of the loaded table.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(realpath -m "${BUILD_DIR:-$root/build}")"
work="$build_dir/fleet-bench"
runs="${RUNS:-5}"
mkdir -p "$work"
eval "$("$root/scripts/fleet-server.sh" start "$work/server")"
trap '"$root/scripts/fleet-server.sh" stop "$work/server"' EXIT
export PGDATABASE=fleet_bench PGOPTIONS="-c client_min_messages=warning"

# Every tenth machine is never managed; the others have some days off or
# unmanaged, in a pattern fixed by the machine's and the day's numbers.
csv="$work/days.csv"
awk 'BEGIN {
  print "computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record"
  for (m = 1; m <= 100000; m++) {
    for (d = 1; d <= 30; d++) {
      day = sprintf("2026-11-%02d", d)
      k = m % 10 == 0 ? 9 : (m * 7 + d * 13) % 10
      if (k >= 8) { printf "pc-%06d.corp.example,%s,0,0,86400,0,,\n", m, day; continue }
      managed = k * 3600 + m % 3600; unmanaged = m * 13 % 7200
      printf "pc-%06d.corp.example,%s,%d,%d,%d,%d,%sT08:%02d:00,%sT17:%02d:00\n", m, day,
        managed, unmanaged, 86400 - managed - unmanaged, k % 4, day, m % 60, day, d
    }
  }
}' >"$csv"
rows="$(($(wc -l <"$csv") - 1))"

now() { date +%s%N; }
# A fresh database, every file written out: neither side of a round pays
# for the other's writes.
fresh() {
  dropdb --if-exists fleet_bench
  createdb fleet_bench
  psql -Xq -c checkpoint
  sync
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
rm -f "$work/rounds"
run=1
while [ $run -le "$runs" ]; do
  fresh
  psql -Xq -c 'create table bare (computer text collate "C", day date, managed_s integer, unmanaged_s integer,
    off_s integer, changes integer, first_record timestamp, last_record timestamp)'
  start="$(now)"
  psql -Xq -c "\\copy bare from '$csv' with (format csv, header true)"
  copy=$(($(now) - start))
  fresh
  start="$(now)"
  "$root/scripts/fleet-load.sh" "$csv" >/dev/null
  echo "$copy $(($(now) - start))" >>"$work/rounds"
  run=$((run + 1))
done
psql -Xq -c checkpoint
start="$(now)"
"$root/scripts/fleet-load.sh" "$csv" >/dev/null
reload_ns=$(($(now) - start))
size="$(psql -XAtc "select pg_size_pretty(pg_table_size('fleet_days')) || ' rows, ' ||
  pg_size_pretty(pg_indexes_size('fleet_days')) || ' key index'")"
copy_ns="$(cut -d' ' -f1 "$work/rounds" | median)"
load_ns="$(cut -d' ' -f2 "$work/rounds" | median)"
ratio="$(awk '{ print $2 / $1 }' "$work/rounds" | median)"
rm -f "$work/rounds"

# One session: each query's time as psql's \timing gives it, after a mark.
{
  printf '%s\n' '\o /dev/null'
  run=1
  while [ $run -le "$runs" ]; do
    printf '%s\n' '\echo mark count' 'set enable_indexonlyscan = off;' '\timing on' \
      'select count(*) from fleet_days;' '\timing off' 'reset enable_indexonlyscan;'
    for query in "$root"/fleet/queries/*.sql; do
      printf '%s\n' "\\echo mark $(basename "$query" .sql)" '\timing on' "\\i $query" '\timing off'
    done
    run=$((run + 1))
  done
} | psql -X -v ON_ERROR_STOP=1 -v days=7 -v until=2026-11-30 | awk '
  $1 == "mark" { name = $2 }
  $1 == "Time:" && (!(name in ms) || $2 < ms[name]) { ms[name] = $2 }
  END { for (name in ms) print name, ms[name] }' >"$work/queries.ms"

awk -v rows="$rows" -v size="$size" -v copy="$copy_ns" -v load="$load_ns" -v ratio="$ratio" -v reload="$reload_ns" 'BEGIN {
  printf "[ figure ] rows = %d, %s\n", rows, size
  printf "[ figure ] bare COPY = %.1f s, %.0f rows/s\n", copy / 1e9, rows / (copy / 1e9)
  printf "[ figure ] load (first) = %.1f s, %.0f rows/s, ratio %.2f (target at most 2.0)\n", load / 1e9, rows / (load / 1e9), ratio
  printf "[ figure ] load again (all rows already there) = %.1f s, %.0f rows/s, ratio %.2f\n", reload / 1e9, rows / (reload / 1e9), reload / copy
}
$1 == "count" { count = $2 }
$1 != "count" { ms[$1] = $2 }
END {
  printf "[ figure ] count(*) = %.1f ms\n", count
  for (name in ms) printf "[ figure ] %s = %.1f ms, ratio %.2f (target at most 2.0)\n", name, ms[name], ms[name] / count
}' "$work/queries.ms"
