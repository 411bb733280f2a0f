#!/bin/sh
# fleet_order_test.sh SOURCE-FOLDER WORK-FOLDER PROGRAM: random fleets' reports
# (days trimmed, overlapping and extended, two reports of one machine made
# the same day or on different days, days without a row) loaded in one load,
# one load per file and in batches, in their order and shuffled, and a day a
# load: the tables and the questions' answers are the same every way, and
# each machine's summary, and the machines without managed time as of a day,
# are what a plain walk over its stored days gives.
set -e
src="$1" work="$2/order" fleet="$3"
rm -rf "$work"
mkdir -p "$work/reports"
. "$src/tests/fleet/throwaway_server.sh"
cd "$work/reports"

# A machine's day (1 to 20 November 2026) is off, or runs from hour a to
# hour b + 1, managed or not. A report made on day r at minute t knows days
# r - n + 1 to r, those before r - 5 as off (trimmed), and day r up to t;
# every fourth one is its machine's report of that day 20 minutes later.
reports() {
  rm -f ./*.csv
  awk -v seed="$1" 'BEGIN {
    srand(seed)
    for (m = 1; m <= 5; m++) for (d = 1; d <= 20; d++) {
      a[m, d] = 6 + int(rand() * 12); b[m, d] = a[m, d] + int(rand() * 6); managed[m, d] = rand() < 0.5; on[m, d] = rand() < 0.9
    }
    for (f = 10; f < 26; f++) {
      if (f % 4) { m = 1 + int(rand() * 5); r = 1 + int(rand() * 20); n = 1 + int(rand() * 8); t = int(rand() * 1440) } else t += 20
      file = "r" f ".csv"
      print "computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record" >file
      for (d = (r > n ? r - n + 1 : 1); d <= r; d++) {
        day = sprintf("2026-11-%02d", d)
        known = d < r ? 1440 : t
        if (!on[m, d] || d < r - 5 || known < a[m, d] * 60) { printf "pc%d,%s,0,0,86400,0,,\n", m, day >file; continue }
        last = int(known / 60) < b[m, d] ? int(known / 60) : b[m, d]
        run = ((known < (b[m, d] + 1) * 60 ? known : (b[m, d] + 1) * 60) - a[m, d] * 60) * 60
        q = rand() < 0.2 ? "\"" : ""
        printf "pc%d,%s,%s%d%s,%d,%d,%d,%sT%02d:00:00,%sT%02d:00:00\n", m, day, q, managed[m, d] * run, q,
          (1 - managed[m, d]) * run, 86400 - run, last - a[m, d], day, a[m, d], day, last >file
      }
      close(file)
    }
  }'
}
shuffled() { ls ./*.csv | awk -v seed="$1" 'BEGIN { srand(seed) } { print rand(), $0 }' | sort -n | cut -d' ' -f2; }
load() { PGDATABASE=$1 && shift && PGDATABASE=$PGDATABASE "$fleet" load "$@" >/dev/null; }
each() { db=$1 && shift && for file; do load "$db" "$file"; done; }
batches() { db=$1 && shift && while [ $# -gt 0 ]; do load "$db" "$@" && shift $(($# < 5 ? $# : 5)); done; }
# The stored days of database `one`, loaded again a day a load, as daily
# reports come: each machine's summary carried on by one new day.
daily() {
  for day in $(PGDATABASE=one psql -XAtc 'select distinct day from fleet_days order by 1'); do
    PGDATABASE=one psql -XAtc "copy (select computer, day as date, managed_s, unmanaged_s, off_s, changes,
      to_char(first_record, 'YYYY-MM-DD\"T\"HH24:MI:SS') as first_record,
      to_char(last_record, 'YYYY-MM-DD\"T\"HH24:MI:SS') as last_record
      from fleet_days where day = '$day' order by computer) to stdout with (format csv, header true)" >../day.csv
    load daily ../day.csv
  done
}
summaries() { PGDATABASE=$1 psql -XAt -c 'select * from fleet_machines order by computer' \
  -c 'select * from fleet_day_totals order by day'; }
tables() { PGDATABASE=$1 psql -XAtc 'select * from fleet_days order by day, computer' && summaries "$1"; }
asked="2:2026-11-20 3:2026-11-12 1:2026-11-08 6:2026-11-15"
answers() {
  for query in $asked daily-share longest-unmanaged-run; do
    case $query in *:*) query="unmanaged-machines days=${query%:*} until=${query#*:}" ;; esac
    PGDATABASE=$1 "$fleet" ask --csv $query
  done
}
# unmanaged-machines DAYS UNTIL, walked plainly: each machine with a row up
# to UNTIL whose last managed day up to it is none or before the DAYS days
# that end on UNTIL; none first, then by that day and name.
unmanaged_walked() {
  echo computer,last_managed_day,last_reported_day
  PGDATABASE=$1 psql -XAt -F, -c "select computer, day, managed_s from fleet_days where day <= '$3' order by computer, day" |
    awk -F, -v since="$(date -u -d "$3 $(($2 - 1)) days ago" +%F)" '
      function flush() { if (c != "" && managed < since) print (managed == "" ? 0 : 1) managed "," c "," managed "," reported }
      $1 != c { flush(); c = $1; managed = "" }
      { reported = $2 }
      $3 > 0 { managed = $2 }
      END { flush() }' | LC_ALL=C sort | cut -d, -f2-
}
# The summaries and totals of the stored days, walked plainly.
walked() {
  PGDATABASE=$1 psql -XAt -c 'select computer, day, managed_s from fleet_days order by computer, day' | awk -F'|' '
    function flush() { if (c != "") print c "|" first "|" last "|" managed "|" best "|" best_last "|" run "|" days }
    $1 != c { flush(); c = $1; first = $2; managed = best_last = ""; run = best = days = 0 }
    { days++ }
    { n = substr($2, 9) + 0 }
    $3 > 0 { managed = $2; run = 0 }
    $3 == 0 { run = run > 0 && n == previous + 1 ? run + 1 : 1; if (run >= best) { best = run; best_last = $2 } }
    { previous = n; last = $2 }
    END { flush() }'
  PGDATABASE=$1 psql -XAtc 'select day, count(*), count(*) filter (where managed_s > 0), sum(managed_s), sum(unmanaged_s)
    from fleet_days group by day order by day'
}
for seed in 1 2 3; do
  reports $seed
  for db in one each shuffled_one shuffled_each batches daily; do createdb $db; done
  load one ./*.csv
  each each ./*.csv
  load shuffled_one $(shuffled $seed)
  each shuffled_each $(shuffled $((seed + 10)))
  batches batches $(shuffled $((seed + 20)))
  daily
  check "seed $seed: summaries as walked" "$(summaries one)" "$(walked one)"
  for db in each shuffled_one shuffled_each batches daily; do
    check "seed $seed, $db: tables" "$(tables $db)" "$(tables one)"
    check "seed $seed, $db: answers" "$(answers $db)" "$(answers one)"
  done
  # With days missing, then with each machine's missing days loaded as off
  # (the summaries then answer for whole windows).
  for fill in gaps off; do
    if [ $fill = off ]; then
      { head -1 r10.csv && psql -d one -XAt -F, -c "select computer, day::date, 0, 0, 86400, 0, '', ''
          from fleet_machines, generate_series(first_day, last_day, interval '1 day') day
          where (day, computer) not in (select day, computer from fleet_days) order by 1, 2"; } >off.csv
      load one off.csv
    fi
    for query in $asked; do
      check "seed $seed, $fill: unmanaged $query as walked" "$(PGDATABASE=one "$fleet" ask --csv unmanaged-machines \
        days=${query%:*} until=${query#*:})" "$(unmanaged_walked one ${query%:*} ${query#*:})"
    done
  done
  for db in one each shuffled_one shuffled_each batches daily; do dropdb $db; done
done
