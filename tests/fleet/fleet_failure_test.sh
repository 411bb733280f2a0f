#!/bin/sh
# fleet_failure_test.sh CASE SOURCE-FOLDER WORK-FOLDER PROGRAM: loads and
# intakes that fail on the way, in a throwaway PostgreSQL. CASE kill: each
# killed (-9) at 20 seeded moments: never partly loaded, nothing committed
# after, the ledger right. CASE server: a statement timeout and a cancel
# during COPY are tried again and taken next time; names that are not UTF-8
# or hold quotes, an unreadable file, a vanished one and a link among good
# files.
set -e
case_name="$1" src="$2" work="$3/failure-$1" fleet="$4"
rm -rf "$work"
mkdir -p "$work"
chmod 755 "$work"
. "$src/tests/fleet/throwaway_server.sh"
cd "$work"

# reports FILES MACHINES CHANGES: FILES files f01.csv... of MACHINES machines
# each, ten days of October each, managed on four days in five, with CHANGES.
reports() {
  awk -v files="$1" -v machines="$2" -v changes="$3" 'BEGIN {
    for (f = 1; f <= files; f++) {
      file = sprintf("f%02d.csv", f)
      print "computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record" >file
      for (m = 1; m <= machines; m++) for (d = 10; d < 20; d++) {
        on = (m + d) % 5 ? 3600 : 0
        printf "f%02d-m%d,2026-10-%d,%d,%d,82800,%d,2026-10-%dT09:00:00,2026-10-%dT10:00:00\n", f, m, d, on, 3600 - on,
          changes, d, d >file
      }
      close(file)
    }
  }'
}
idle() {
  until [ "$(psql -XAtc "select count(*) from pg_stat_activity where backend_type = 'client backend'
    and pid <> pg_backend_pid()")" = 0 ]; do sleep 0.05; done
}
state() {
  psql -XAtc 'select count(*), sum(changes), (select count(*) from fleet_machines),
    (select sum(managed_s) from fleet_day_totals) from fleet_days' 2>/dev/null || echo none
}
moment() { awk -v seed="$1" -v ms="$2" 'BEGIN { srand(seed); printf "%.3f", rand() * ms / 1000 }'; }
ms() { echo $((($(date +%s%N) - $1) / 1000000)); }
# during_copy WHAT: WHAT of the backend (pid) of the first COPY seen within 10 s.
during_copy() {
  for i in $(seq 1000); do
    [ -z "$(psql -XAtc "select $1 from pg_stat_activity where query like 'copy fleet_% from stdin'")" ] || return 0
    sleep 0.01
  done
  check "a COPY under way" "none" "one"
}
drop() { psql -Xq -c 'set client_min_messages = warning' -c 'drop view if exists fleet_machines' \
  -c 'drop table if exists fleet_days, fleet_summaries_a, fleet_summaries_b, fleet_day_totals, fleet_intake cascade'; }

if [ "$case_name" = kill ]; then
  # Odd rounds load into empty tables, even ones update every row.
  reports 1 10000 1 && mv f01.csv first.csv
  reports 1 10000 2 && mv f01.csv more.csv
  start="$(date +%s%N)" && "$fleet" load first.csv >/dev/null && took1="$(ms "$start")" && full="$(state)"
  start="$(date +%s%N)" && "$fleet" load more.csv >/dev/null && took2="$(ms "$start")" && more="$(state)"
  for round in $(seq 20); do
    drop
    if [ $((round % 2)) = 1 ]; then file=first.csv took=$took1; else "$fleet" load first.csv >/dev/null && file=more.csv took=$took2; fi
    "$fleet" load $file >/dev/null 2>&1 &
    sleep "$(moment $round "$took")"
    kill -9 $! 2>/dev/null || :
    wait $! || :
    idle
    now="$(state)"
    # The tables are made in a transaction of their own, before the load's.
    case "$now" in none | "0||0|" | "$full" | "$more") ;; *) check "load killed, round $round" "$now" "$full or $more" ;; esac
    sleep 0.3
    check "after the killed load, round $round" "$(state)" "$now"
  done

  mkdir reports && cd reports && reports 20 500 1
  start="$(date +%s%N)" && "$fleet" intake . >/dev/null && took="$(ms "$start")"
  # Each file's rows are all there and it is noted, or none and it is not.
  taken() {
    psql -XAt -c "select split_part(computer, '-', 1) || '.csv', count(*) from fleet_days group by 1" -F ' ' \
      -c "select name || ' noted' from fleet_intake" 2>/dev/null | sort | awk '
      $2 == "noted" { if (rows[$1] != 5000) print $1 " noted, with " rows[$1] + 0 " rows"; delete rows[$1]; next }
      { rows[$1] = $2 } END { for (f in rows) print f " not noted, with " rows[f] " rows" }'
  }
  for round in $(seq 21 40); do
    drop
    "$fleet" intake . >/dev/null 2>&1 &
    sleep "$(moment $round "$took")"
    kill -9 $! 2>/dev/null || :
    wait $! || :
    idle
    now="$(state) $(taken)"
    check "intake killed, round $round" "$(taken)" ""
    sleep 0.3
    check "after the killed intake, round $round" "$(state) $(taken)" "$now"
  done
  "$fleet" intake . >/dev/null
  check "intake after the kills" "$(state) $(taken)" "100000|100000|10000|$((100000 * 4 / 5 * 3600)) "
  exit 0
fi

# Tried again: a statement timeout, and a cancel of the COPY.
mkdir again
reports 1 40000 1 && mv f01.csv again/big.csv
head -1 again/big.csv >header.csv && "$fleet" load header.csv >/dev/null
check "load, timeout" "$({ PGOPTIONS='-c statement_timeout=20' "$fleet" load again/big.csv 2>&1 >/dev/null ||
  echo "exit $?"; } | sed 's/: .*;/:/')" "mardonel-fleet: nothing loaded, to be tried again
exit 1"
out="$(PGOPTIONS='-c statement_timeout=20' "$fleet" intake again 2>&1 || echo "exit $?")"
check "intake, timeout" "$(echo "$out" | sed 's/: .*;/:/'; state)" "big.csv: not taken, tried again next time
mardonel-fleet: again: 0 loaded, 0 refused, 0 unchanged
exit 1
0||0|"
"$fleet" intake again >/dev/null 2>&1 &
during_copy "pg_cancel_backend(pid)"
wait $! || check "intake, cancelled" "exit $?" "exit 1"
check "nothing noted" "$(psql -XAtc 'select count(*) from fleet_intake')" 0
check "taken next time" "$("$fleet" intake again)" "big.csv: 400000 rows read: 400000 new, 0 updated, 0 kept as stored, the rest already loaded
mardonel-fleet: again: 1 loaded, 0 refused, 0 unchanged"

# Any name a folder holds; what cannot be read is named, the others go on.
mkdir names
reports 3 1 1
mv f01.csv "names/-q'uote\".csv" && mv f02.csv "names/$(printf 'a\351\tb.csv')" && mv f03.csv names/unreadable.csv
reports 4 20000 1 && mv f04.csv names/0big.csv && mv f01.csv names/vanish.csv
ln -s 0big.csv names/link.csv
chmod 000 names/unreadable.csv
as_user() { "$@"; }
outside=""
if [ "$(id -u)" = 0 ]; then
  # Root reads any file: the unreadable one is unreadable to the server's
  # user, who must reach the folder and the program, so both lie under /tmp
  # for this part (the clone may be in a folder only root may enter).
  outside="$(mktemp -d /tmp/fleet-names.XXXXXX)"
  chmod 755 "$outside"
  cp "$fleet" "$outside/mardonel-fleet"
  mv names "$outside/names"
  ln -s "$outside/names" names
  as_user() { shift && (cd "$outside" && runuser -u postgres -- ./mardonel-fleet "$@"); }
fi
# The file vanishes while the big one loads.
as_user "$fleet" intake names >names.out 2>&1 &
during_copy pid
rm names/vanish.csv
wait $! || echo "exit $?" >>names.out
check "names" "$(sed 's/: [0-9]* rows read.*//' names.out | LC_ALL=C sort)" "-q'uote\".csv
0big.csv
a\\xE9\\x09b.csv
exit 3
link.csv: a link, not taken
mardonel-fleet: names: 3 loaded, 0 refused, 0 unchanged, 1 links or not files
unreadable.csv: Permission denied; not taken, tried again next time
vanish.csv: No such file or directory; not taken, tried again next time"
check "names noted" "$(psql -XAtc 'select name from fleet_intake order by name')" "-q'uote\".csv
0big.csv
a\\xE9\\x09b.csv
big.csv"
rm names/link.csv && chmod 644 names/unreadable.csv
check "names, then" "$(as_user "$fleet" intake names)" "unreadable.csv: 10 rows read: 10 new, 0 updated, 0 kept as stored, the rest already loaded
mardonel-fleet: names: 1 loaded, 0 refused, 3 unchanged"
[ -z "$outside" ] || { rm names && mv "$outside/names" names && rm -rf "$outside"; }

# Statuses: a wrong command line, the database out of reach.
for words in "load" "intake" "intake names names" "intake missing" "ask-not"; do
  check "$words" "$("$fleet" $words >/dev/null 2>&1 || echo "exit $?")" "exit 2"
done
check "unreachable" "$(PGHOST=/nonexistent "$fleet" intake names 2>/dev/null || echo "exit $?")" "exit 1"
