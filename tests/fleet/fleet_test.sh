#!/bin/sh
# fleet_test.sh CASE WINE-RUN BIN-FOLDER SOURCE-FOLDER WORK-FOLDER PROGRAM: the real
# report's CSVs of three hand-made machines, loaded into a throwaway
# PostgreSQL. CASE load: loads, loads again, asks each query. CASE refuse:
# bad files are refused whole, naming file and line.
set -e
case_name="$1" wine_run="$2" bin="$3" src="$4" work="$5/$1" fleet="$6"
rm -rf "$work"
mkdir -p "$work"
. "$src/tests/fleet/throwaway_server.sh"

# record MACHINE DAY "HH:MM STATE REASON"...: one history file of a day.
record() {
  machine="$1" day="$2"
  shift 2
  mkdir -p "$work/$machine"
  for line; do
    set -- $line
    seconds="$(date -u -d "$day $1" +%s)"
    printf '%s,%s,%s,%s %s:00\r\n' "$(((seconds + 11644473600) * 10000000))" "$2" "$3" \
      "$(date -u -d "$day" +%-m/%-d/%Y)" "$1"
  done >>"$work/$machine/$(echo "$day" | tr -d -)T.mgt"
}
# Two hours in one state, then the machine shuts down.
two_hours() { record "$1" "$2" "09:00 $3 Startup" "10:00 $3 Heartbeat" "11:00 1 Shutdown"; }
for day in 2026-11-02 2026-11-03 2026-11-05 2026-11-06; do two_hours alpha $day 2; done
two_hours alpha 2026-11-04 1
two_hours beta 2026-11-02 2
for day in 2026-11-03 2026-11-05 2026-11-06; do two_hours beta $day 1; done
for day in 2026-11-02 2026-11-03 2026-11-04 2026-11-05 2026-11-06; do
  record gamma $day "13:00 1 Startup" "14:00 1 Shutdown"
done
report() {
  (cd "$bin" && "$wine_run" mardonel-report.exe --csv --folder "Z:$(echo "$work/$1" | tr / '\\')" \
    --computer "$1.corp.example" --from 2026-11-02 --until 2026-11-06) >"$work/$2"
}
for machine in alpha beta gamma; do report $machine $machine.csv; done
cd "$work"

load() { "$fleet" load "$@" 2>&1; }
ask() { "$fleet" ask --csv "$@"; }
rows() { psql -XAtc 'select count(*) from fleet_days'; }

if [ "$case_name" = refuse ]; then
  sed 1s/managed_s/managed/ alpha.csv >bad-header.csv
  sed 3s/,7200,/,7200s,/ beta.csv >not-a-number.csv
  head -c -30 gamma.csv >truncated.csv
  # Refused by the table's checks, as machines of their own.
  sed 's/^alpha/delta/; 2s/,2026-11-02T11:/,2026-11-03T11:/' alpha.csv >next-day.csv
  sed 's/^beta/epsilon/; 3s/,79200,/,99200,/' beta.csv >long-day.csv
  # Dates of one machine that do not rise, two lines apart; a name longer
  # than a DNS name; days the report cannot have written.
  { sed -n 1,2p alpha.csv && sed -n 2p beta.csv && sed -n 2p alpha.csv; } >unordered.csv
  sed "s/^alpha/$(printf '%0256d' 0)/" alpha.csv >long-name.csv
  sed 's/^alpha/early/; 2s/2026-11-02/1600-12-31/g' alpha.csv >early.csv
  sed "s/^alpha/late/; 3s/2026-11-03/$(date -u -d '2 days' +%F)/g" alpha.csv >late.csv
  # Into an empty database, then beside rows already there. The last: two
  # bad files, each named.
  for loaded in 0 15; do
    for bad in bad-header.csv:1 not-a-number.csv:3 truncated.csv:6 next-day.csv:2 long-day.csv:3 unordered.csv:4 \
      long-name.csv:2 early.csv:2 late.csv:3 "truncated.csv:6 long-day.csv:3"; do
      out="$(load alpha.csv beta.csv gamma.csv $(echo "$bad" | sed 's/:[0-9]*//g') || echo "exit $?")"
      echo "$out"
      for one in $bad; do
        case "$out" in *"$one: "*"nothing loaded"*"exit 3") ;; *) check "$one refused" "$out" "$one: ... nothing loaded, exit 3" ;; esac
      done
      check "rows after $bad" "$(rows)" $loaded
    done
    load alpha.csv beta.csv gamma.csv
  done
  head -1 alpha.csv >header-only.csv
  check "header only" "$(load header-only.csv)" "0 rows read: 0 new, 0 updated, 0 kept as stored, the rest already loaded"
  # A file whose bytes are more than its size says (as a kernel's files
  # are): read while it grew, so not taken, and tried again.
  check "still being written" "$(load alpha.csv /proc/self/status 2>&1 || echo "exit $?")" \
    "mardonel-fleet: /proc/self/status: still being written; nothing loaded
exit 1"
  exit 0
fi

check "first load" "$(load alpha.csv beta.csv gamma.csv)" \
  "15 rows read: 15 new, 0 updated, 0 kept as stored, the rest already loaded"
runs="computer,days,first_day,last_day
gamma.corp.example,5,2026-11-02,2026-11-06
beta.corp.example,4,2026-11-03,2026-11-06
alpha.corp.example,1,2026-11-04,2026-11-04"
# As the checker counted them in the files.
check "longest unmanaged run, first" "$(ask longest-unmanaged-run)" "$runs"
# Later that day alpha ran again from 15:00 to 16:00. Its reports in one
# load, one made after its history was trimmed last: the one that knows most
# of each day wins.
cp alpha.csv alpha-morning.csv
record alpha 2026-11-06 "15:00 2 Startup" "16:00 1 Shutdown"
report alpha alpha.csv
awk 'NR > 1 { $3 = $4 = $6 = 0; $5 = 86400; $7 = $8 = "" } 1' FS=, OFS=, alpha.csv >trimmed.csv
check "second load" "$(load alpha-morning.csv alpha.csv trimmed.csv beta.csv gamma.csv)" \
  "25 rows read: 0 new, 1 updated, 0 kept as stored, the rest already loaded"
# The morning's report knows less of that day than the stored row.
check "older report" "$(load alpha-morning.csv | head -1)" \
  "5 rows read: 0 new, 0 updated, 1 kept as stored, the rest already loaded"
check "rows" "$(rows)" 15
check "alpha's last day" "$(psql -XAtc "select managed_s, last_record from fleet_days where day = '2026-11-06' and computer like 'alpha%'")" \
  "10800|2026-11-06 16:00:00"

check "unmanaged machines" "$(ask unmanaged-machines days=3 until=2026-11-06)" "computer,last_managed_day,last_reported_day
gamma.corp.example,,2026-11-06
beta.corp.example,2026-11-02,2026-11-06"
check "daily share" "$(ask daily-share from=2026-11-03)" "day,machines,managed_machines,managed_s,unmanaged_s,managed_pct
2026-11-03,3,1,7200,10800,40.0
2026-11-04,3,0,0,10800,0.0
2026-11-05,3,1,7200,10800,40.0
2026-11-06,3,1,10800,10800,50.0"
# As found in the stored days.
check "longest unmanaged run" "$(ask longest-unmanaged-run)" "$runs"
# Days as of `until`, though alpha and beta have later ones.
check "unmanaged machines until a past day" "$(ask unmanaged-machines days=1 until=2026-11-04)" \
  "computer,last_managed_day,last_reported_day
gamma.corp.example,,2026-11-04
beta.corp.example,2026-11-02,2026-11-04
alpha.corp.example,2026-11-03,2026-11-04"

# zeta's reports of 6 November at 09:30 and 09:50 hold the same record of
# 09:00 (quoted numbers): the later one knows more, whatever the order. Of 7
# November the second knows less, and its managed time moves no summary.
zeta() {
  printf 'computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record\nzeta,2026-11-%s,%s,%s,%s,0,2026-11-%sT09:00:00,2026-11-%sT%s:00:00\n' \
    "$2" "$3" "$4" "$((86400 - $(echo "$3" | tr -d '"') - $4))" "$2" "$2" "$5" >"$1.csv"
}
zeta 0930 06 '"1800"' 0 09 && zeta 0950 06 '"3000"' 0 09 && zeta full 07 0 7200 11 && zeta less 07 1800 0 09
for file in 0930 0950 0930 full less; do load $file.csv >/dev/null; done
check "zeta" "$(psql -XAtc "select string_agg(managed_s::text, ' ' order by day) from fleet_days where computer = 'zeta'" \
  -c "select last_managed_day, longest_unmanaged_days, current_unmanaged_days from fleet_machines where computer = 'zeta'")" \
  "3000 0
2026-11-06|1|1"

# Two rows of a day that differ in one field of the knowledge order only (the
# first knows less), loaded in both orders: the second is stored. Fields:
# managed, unmanaged, off, changes, first and last record.
n=0
while read -r less more; do
  n=$((n + 1))
  for order in "$less $more" "$more $less"; do
    i=0
    for row in $order; do
      i=$((i + 1))
      printf 'computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record\nk%s,2026-11-03,%s\n' "$n" \
        "$(echo "$row" | sed 's/F/2026-11-03T/g')" >"k$i.csv"
    done
    load k1.csv >/dev/null && load k2.csv >/dev/null
    check "knowledge $n: $order" "$(psql -XAtc "select managed_s, unmanaged_s, off_s, changes,
      to_char(first_record, 'HH24'), to_char(last_record, 'HH24') from fleet_days where computer = 'k$n'")" \
      "$(echo "$more" | sed 's/F\([0-9]*\):00:00/\1/g' | tr , '|')"
    psql -Xqc "delete from fleet_days where computer = 'k$n'"
  done
done <<'ROWS'
0,0,86400,0,, 0,0,86400,0,F09:00:00,F09:00:00
3600,0,82800,1,F09:00:00,F09:00:00 3600,0,82800,1,F09:00:00,F10:00:00
3600,0,82800,1,F09:00:00,F10:00:00 3600,0,82800,1,F08:00:00,F10:00:00
3600,0,82800,1,F09:00:00,F10:00:00 3600,60,82800,1,F09:00:00,F10:00:00
3600,0,82800,1,F09:00:00,F10:00:00 3600,0,82800,2,F09:00:00,F10:00:00
3600,60,82800,1,F09:00:00,F10:00:00 3660,0,82800,1,F09:00:00,F10:00:00
3600,0,82800,1,F09:00:00,F10:00:00 3600,0,82860,1,F09:00:00,F10:00:00
ROWS

# Quoted numbers on the daily path (days after every stored one): "3600" is
# managed time, "0" none.
printf 'computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record\ntheta,2026-11-08,"3600",0,82800,0,2026-11-08T09:00:00,2026-11-08T10:00:00\n' >theta.csv
printf 'computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record\ntheta,2026-11-09,"0","3600",82800,0,2026-11-09T09:00:00,2026-11-09T10:00:00\n' >theta2.csv
check "quoted numbers, daily" "$(load theta.csv && load theta2.csv && psql -XAtc "select last_managed_day,
  current_unmanaged_days from fleet_machines where computer = 'theta'" -c "select managed_machines from fleet_day_totals
  where day = '2026-11-08'")" "1 rows read: 1 new, 0 updated, 0 kept as stored, the rest already loaded
1 rows read: 1 new, 0 updated, 0 kept as stored, the rest already loaded
2026-11-08|1
1"
# Summaries of an older program, without their count of stored days: the
# next load, a daily one, finds every machine's summary again from its days.
psql -Xq -c 'drop view fleet_machines' -c 'alter table fleet_summaries_a drop column stored_days' \
  -c 'alter table fleet_summaries_b drop column stored_days' -c 'create view fleet_machines as table fleet_summaries_a'
sed 's/11-09/11-10/g' theta2.csv >theta3.csv
check "older summaries" "$(load theta3.csv >/dev/null && psql -XAtc "select first_day, last_day, last_managed_day,
  current_unmanaged_days, stored_days from fleet_machines where computer = 'theta'")" "2026-11-08|2026-11-10|2026-11-08|2|3"

# A day without a row ends a run: as the checker counts it beside the rows,
# as loading them again leaves it, and, when another machine's row comes
# between the machine's, as counted over the days the loader writes out.
createdb gaps
createdb apart
sed 's/^gamma/delta/; /,2026-11-04,/d' gamma.csv >delta.csv
{ sed 3q delta.csv; grep -m1 ',2026-11-02,' alpha.csv | sed 's/^alpha/epsilon/'; sed 1,3d delta.csv; } >apart.csv
for pass in first again apart; do
  case $pass in apart) db=apart file=apart.csv ;; *) db=gaps file=delta.csv ;; esac
  PGDATABASE=$db load $file >/dev/null
  check "run across a missing day, $pass" "$(PGDATABASE=$db ask longest-unmanaged-run | grep -v ^epsilon)" "computer,days,first_day,last_day
delta.corp.example,2,2026-11-05,2026-11-06"
done
