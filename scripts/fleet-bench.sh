#!/bin/sh
# fleet-bench.sh: the fleet loader and questions at 100,000 machines, on a
# throwaway server in BUILD_DIR/fleet-bench. Each figure is a ratio to a plain
# baseline measured in the same run, the median of RUNS (default 5) rounds
# that do both, each step after a checkpoint:
# - the first load of 30 days (3 million rows) into an empty database, and
#   that file loaded again, against a bare COPY of it into an unindexed table;
# - a daily load of one new day (100,000 rows) with 30 and with 365 days
#   stored (each round loads the next day), against a bare COPY of that day,
#   beside the floor of any such load: a COPY of the day, without the
#   checker or the summaries, into an empty table with the stored days' key
#   and checks, and then with one column of every machine's summary set from
#   the day, in a copy of the summaries, or with every summary written anew
#   as a table joined to the day;
# - a report that corrects one past day of one machine, with 365 days
#   stored, against a bare COPY of that report;
# - each question asked through mardonel-fleet, at its best of RUNS, against
#   one sequential count(*) of the stored days through psql, as of the last
#   day and of a week before, and then with one machine that has days
#   missing.
# The 365 days (36.5 million rows) are made once, a month a load, and kept in
# the server's folder as a database that each run copies. The program is
# BUILD_DIR/fleet/mardonel-fleet, as scripts/build.sh makes it.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(realpath -m "${BUILD_DIR:-$root/build}")"
work="$build_dir/fleet-bench"
runs="${RUNS:-5}"
fleet="$build_dir/fleet/mardonel-fleet"
[ -x "$fleet" ] || { echo "$0: build $fleet first (scripts/build.sh)" >&2; exit 2; }
mkdir -p "$work"
eval "$("$root/scripts/fleet-server.sh" start "$work/server")"
trap '"$root/scripts/fleet-server.sh" stop "$work/server"' EXIT
export PGOPTIONS="-c client_min_messages=warning"

# days FIRST LAST ORDER FILE: the bench fleet's rows of those days as the report's CSV.
days() {
  { echo "copy (select computer, date, managed_s, unmanaged_s, off_s, changes,"
    echo "  to_char(first_record, 'YYYY-MM-DD\"T\"HH24:MI:SS') as first_record,"
    echo "  to_char(last_record, 'YYYY-MM-DD\"T\"HH24:MI:SS') as last_record"
    echo "  from ($(cat "$root/bench/fleet_days.sql")) fleet order by $3) to stdout with (format csv, header true);"; } |
    psql -Xq -d postgres -v first="$1" -v last="$2" >"$4"
}
now() { date +%s%N; }
# Every file written out: neither side of a round pays for the other's writes.
settle() { psql -Xq -d "$1" -c checkpoint && sync; }
# copied DATABASE FILE TABLE: the time of a COPY of FILE into a new table
# `copied` made as TABLE says, after a checkpoint; the caller drops it.
copied() {
  psql -Xq -d "$1" -c 'drop table if exists copied' -c "create table copied $3"
  settle "$1"
  start="$(now)"
  psql -Xq -d "$1" -c "\\copy copied from '$2' with (format csv, header true)"
  echo $(($(now) - start))
}
# bare DATABASE FILE: the plain baseline, into an unindexed table.
bare() {
  copy="$(copied "$1" "$2" '(computer text collate "C", day date, managed_s integer, unmanaged_s integer,
    off_s integer, changes integer, first_record timestamp, last_record timestamp)')"
  psql -Xq -d "$1" -c 'drop table copied'
}
# keyed DATABASE FILE: the floor of a load, into a table made like
# fleet_days, and the update that any load keeping each machine's summary
# must at least make, into a copy of the summaries (without their key: a
# floor).
keyed() {
  psql -Xq -d "$1" -c 'drop table if exists summaries' -c 'create table summaries as table fleet_machines'
  floor="$(copied "$1" "$2" '(like fleet_days including all)')"
  psql -Xq -d "$1" -c 'analyze copied'
  alone="$floor"
  start="$(now)"
  psql -Xq -d "$1" -c 'update summaries s set last_day = c.day from copied c where c.computer = s.computer'
  floor="$floor $((alone + $(now) - start))"
  settle "$1"
  start="$(now)"
  psql -Xq -d "$1" -c "set work_mem = '64MB'" -c 'create table rewritten as select s.computer, s.first_day,
    coalesce(c.day, s.last_day) as last_day, s.last_managed_day, s.longest_unmanaged_days,
    s.longest_unmanaged_last_day, s.current_unmanaged_days from summaries s full join copied c using (computer)'
  floor="$floor $((alone + $(now) - start))"
  psql -Xq -d "$1" -c 'drop table copied, summaries, rewritten'
}
# load DATABASE FILE: the loader's load of FILE.
load() { PGDATABASE="$1" "$fleet" load "$2" >/dev/null; }
# timed DATABASE FILE: the load's time after a checkpoint, with the bare COPY's before it.
timed() {
  settle "$1"
  start="$(now)"
  load "$1" "$2"
  echo "$copy $(($(now) - start)) ${floor:-}" >>"$work/rounds"
}
# figure NAME ROWS: the rounds' median times and ratio.
figure() {
  awk -v name="$1" -v rows="$2" '{ copy[NR] = $1; load[NR] = $2; ratio[NR] = $2 / $1; if (NF > 2) { floor[++floors] = $3 / $1; summed[floors] = $4 / $1; anew[floors] = $5 / $1 } }
    function median(v, n, i, j, t) {
      for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
      return v[int((n + 1) / 2)]
    }
    END {
      c = median(copy, NR); l = median(load, NR)
      printf "[ figure ] %s = %.2f s, %.0f rows/s, ratio %.2f to a bare COPY (%.2f s, %.0f rows/s)\n",
        name, l / 1e9, rows / (l / 1e9), median(ratio, NR), c / 1e9, rows / (c / 1e9)
      if (floors) printf "[ figure ] %s: its floors, a COPY into an empty keyed table, ratio %.2f; with every summary updated too, %.2f; with every summary written anew as a table, %.2f\n",
        name, median(floor, floors), median(summed, floors), median(anew, floors)
    }' "$work/rounds"
  rm -f "$work/rounds"
}
# questions DATABASE UNTIL LABEL: each question's best time through the
# program, and one sequential count(*)'s through psql, each a process of its
# own that connects, asks and prints.
questions() {
  run=1
  while [ $run -le "$runs" ]; do
    for name in count daily-share longest-unmanaged-run unmanaged-machines; do
      start="$(now)"
      case $name in
        count) PGOPTIONS="$PGOPTIONS -c enable_indexonlyscan=off" psql -XAtq -d "$1" -c 'select count(*) from fleet_days' ;;
        daily-share) PGDATABASE="$1" "$fleet" ask daily-share until="$2" ;;
        longest-unmanaged-run) PGDATABASE="$1" "$fleet" ask longest-unmanaged-run ;;
        unmanaged-machines) PGDATABASE="$1" "$fleet" ask unmanaged-machines days=7 until="$2" ;;
      esac >/dev/null
      echo "$name $(($(now) - start))"
    done
    run=$((run + 1))
  done | awk -v label="$3" '
    !($1 in ns) || $2 < ns[$1] { ns[$1] = $2 }
    END {
      printf "[ figure ] %s: count(*) = %.1f ms\n", label, ns["count"] / 1e6
      for (name in ns) if (name != "count")
        printf "[ figure ] %s: %s = %.1f ms, ratio %.2f (target at most 2.0)\n", label, name, ns[name] / 1e6, ns[name] / ns["count"]
    }'
}

csv="$work/days.csv"
[ -s "$csv" ] || days 2026-11-01 2026-11-30 "computer, date" "$csv"
rows="$(($(wc -l <"$csv") - 1))"
run=1
while [ $run -le "$runs" ]; do
  dropdb --if-exists fleet_bench
  createdb fleet_bench
  bare fleet_bench "$csv"
  dropdb fleet_bench
  createdb fleet_bench
  timed fleet_bench "$csv"
  run=$((run + 1))
done
figure "load (first, 30 days, target at most 2.0)" "$rows"
size="$(psql -XAt -d fleet_bench -c "select pg_size_pretty(pg_table_size('fleet_days')) || ' rows, ' ||
  pg_size_pretty(pg_indexes_size('fleet_days')) || ' key index'")"
echo "[ figure ] $rows rows, $size"
bare fleet_bench "$csv"
timed fleet_bench "$csv"
figure "load again (every row already there)" "$rows"

# The year, made once by the program, a month a load.
if [ -z "$(psql -XAt -d postgres -c "select 1 from pg_database where datname = 'fleet_bench_365'")" ]; then
  start="$(now)"
  dropdb --if-exists fleet_bench_making
  createdb fleet_bench_making
  month=2025-12-01
  while [ "$month" != 2026-12-01 ]; do
    next="$(date -u -d "$month 1 month" +%F)"
    days "$month" "$(date -u -d "$next 1 day ago" +%F)" "computer, date" "$work/month.csv"
    PGDATABASE=fleet_bench_making "$fleet" load "$work/month.csv" >/dev/null
    month="$next"
  done
  rm "$work/month.csv"
  psql -Xq -d fleet_bench_making -c 'vacuum analyze'
  psql -Xq -d postgres -c 'alter database fleet_bench_making rename to fleet_bench_365'
  echo "[ figure ] 365 days made in $((($(now) - start) / 1000000000)) s"
fi

for stored in 30 365; do
  if [ $stored = 365 ]; then
    dropdb --if-exists fleet_bench
    createdb -T fleet_bench_365 -S file_copy fleet_bench
  fi
  run=1
  while [ $run -le "$runs" ]; do
    day="$(date -u -d "2026-11-30 $run days" +%F)"
    file="$work/$day.csv"
    [ -s "$file" ] || days "$day" "$day" computer "$file"
    bare fleet_bench "$file"
    keyed fleet_bench "$file"
    timed fleet_bench "$file"
    run=$((run + 1))
  done
  figure "daily load, $stored days stored (target at most 2.5)" 100000
  questions fleet_bench "$day" "$stored days stored"
  questions fleet_bench "$(date -u -d "$day 7 days ago" +%F)" "$stored days stored, until a week before"
  # One more machine, which sent no report between its first and its last
  # day: the summaries no longer answer for every machine.
  {
    head -1 "$csv"
    for gap_day in 2026-11-01 "$day"; do
      echo "gap.corp.example,$gap_day,3600,0,82800,1,${gap_day}T08:00:00,${gap_day}T09:00:00"
    done
  } >"$work/gap.csv"
  load fleet_bench "$work/gap.csv"
  questions fleet_bench "$(date -u -d "$day 7 days ago" +%F)" \
    "$stored days stored, one machine with days missing, until a week before"
done

# A report that corrects one past day of one machine (a day of a machine
# never managed, given managed time) costs that machine's days, not the year.
floor=
run=1
while [ $run -le "$runs" ]; do
  file="$work/correction-$run.csv"
  { head -1 "$csv"; echo "pc-$(printf %06d $((run * 10))).corp.example,2026-03-02,3600,0,82800,1,2026-03-02T08:00:00,2026-03-02T09:00:00"; } >"$file"
  bare fleet_bench "$file"
  timed fleet_bench "$file"
  run=$((run + 1))
done
figure "a correction of one machine's past day, 365 days stored" 1
