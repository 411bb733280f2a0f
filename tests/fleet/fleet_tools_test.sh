#!/bin/sh
# fleet_tools_test.sh CASE WINE-RUN BIN-FOLDER SOURCE-FOLDER WORK-FOLDER
# FLEET-PROGRAM: docs/fleet-sample in a throwaway PostgreSQL. CASE intake: a
# folder of 200 reports taken three times. CASE ask: the samples, the
# documented question, bad command lines, the picture's pixels.
set -e
case_name="$1" wine_run="$2" bin="$3" src="$4" work="$5/tools-$1" samples="$4/docs/fleet-sample" fleet="$6"
rm -rf "$work"
mkdir -p "$work/reports"
# The server runs as postgres when we are root: it must reach the folder.
chmod 755 "$work"
. "$src/tests/fleet/throwaway_server.sh"

if [ "$case_name" = intake ]; then
  cd "$work/reports"
  for i in $(seq 50); do
    for m in alpha beta gamma delta; do sed "s/^$m\\./$m-$i./" "$samples/$m.csv" >"$m-$i.csv"; done
  done
  sed 1s/managed_s/managed/ alpha-1.csv >bad-header.csv
  sed 's/^alpha-1\./nan./; 3s/,14400,/,14400s,/' alpha-1.csv >not-a-number.csv
  sed 's/^beta-1\./half./' beta-1.csv | head -c -30 >half.csv
  : >empty.csv
  # The report's part file until it renames it, and a hidden file.
  sed 's/^gamma-1\./epsilon./' gamma-1.csv >epsilon.csv.4711.part
  cp bad-header.csv .zeta.csv
  intake() { "$fleet" intake . 2>&1 | tee -a "$work/taken"; }
  refused="bad-header.csv:1
empty.csv
half.csv:6
not-a-number.csv:3"
  check "first intake" "$(intake | sed '/rows read/d; /^mardonel-fleet: /!s/^\([^:]*\(:[0-9]*\)\{0,1\}\): .*/\1/')" "$refused
mardonel-fleet: .: 200 loaded, 4 refused, 0 unchanged"
  check "refused, as noted" "$(psql -XAtc "select name || coalesce(':' || line, '') from fleet_intake_refused order by 1")" "$refused"
  check "second intake" "$(intake)" "mardonel-fleet: .: 0 loaded, 0 refused, 204 unchanged"
  # The half-written report completed, a newer one replacing an older, the
  # report's rename, a bad file changed and still bad.
  sed 's/^beta-1\./half./' beta-1.csv >half.csv
  sed -n 's/^gamma-7\./delta-7./; /,2026-11-0[56],/p' gamma-7.csv >>delta-7.csv
  mv epsilon.csv.4711.part epsilon.csv
  sed 2s/,2026-11-02,/,2026-11-2,/ alpha-1.csv >bad-header.csv
  check "third intake" "$(intake | sed 's/\(rows read\|YYYY-MM-DD\): .*/\1/')" "bad-header.csv:2: date is not YYYY-MM-DD
delta-7.csv: 5 rows read
epsilon.csv: 5 rows read
half.csv: 5 rows read
mardonel-fleet: .: 3 loaded, 1 refused, 201 unchanged"
  # Nothing changed since: every file's hash was noted.
  check "fourth intake" "$(intake)" "mardonel-fleet: .: 0 loaded, 0 refused, 205 unchanged"
  check "times each file was loaded" "$(sed -n 's/: .* rows read.*//p' "$work/taken" | sort | uniq -c | awk '{ print $1 }' |
    sort | uniq -c | tr -s ' ')" " 201 1
 1 2"
  check "rows" "$(psql -XAtc 'select count(*) from fleet_days')" $((50 * 18 + 5 + 5 + 2))
  exit 0
fi

for m in alpha:06 beta:06 gamma:06 delta:04; do
  (cd "$bin" && "$wine_run" mardonel-report.exe --csv --folder "Z:$(echo "$samples/history/${m%:*}" | tr / '\\')" \
    --computer "${m%:*}.corp.example" --from 2026-11-02 --until "2026-11-${m#*:}") | cmp - "$samples/${m%:*}.csv"
done
cd "$src"
load() { "$fleet" load "$@"; }
load docs/fleet-sample/*.csv
check "the documented question" "$("$fleet" ask unmanaged-machines days=2 until=2026-11-06)" \
"      computer      | last_managed_day | last_reported_day 
--------------------+------------------+-------------------
 gamma.corp.example |                  | 2026-11-06
 delta.corp.example | 2026-11-02       | 2026-11-04
 beta.corp.example  | 2026-11-04       | 2026-11-06
(3 rows)"
# One line and status 2, the database not asked (a folder or an empty name
# for the picture, days in the wrong order included).
for bad in "unmanaged-machines day=3" "unmanaged-machines days=abc" "unmanaged-machines days=0" \
  "unmanaged-machines until=2026-13-01" "unmanaged-machines until=2026-02-29" "daily-share from=2026-11-06 until=2026-11-02" \
  "--svg '$work' daily-share" "--svg '' daily-share" "--svg share.svg longest-unmanaged-run"; do
  out="$(eval "PGHOST=/nowhere \"\$fleet\" ask $bad" 2>&1 || echo "exit $?")"
  check "refused $bad" "$(echo "$out" | sed 1d)" "exit 2"
done
# The server's own error: try again, and no picture or part of one.
check "server error" "$(PGDATABASE=template1 "$fleet" ask --svg "$work/failed.svg" daily-share 2>&1 || echo "exit $?"; ls -A "$work")" \
  "mardonel-fleet: relation \"fleet_day_totals\" does not exist
exit 1
reports
server"
# Managed today in UTC: not unmanaged whatever the server's or this machine's time zone.
today="$(date -u +%F)"
printf '%s\n%s\n' "$(head -1 "$samples/alpha.csv")" "today.corp.example,$today,60,0,86340,0,${today}T08:00:00,${today}T08:01:00" \
  >"$work/today.csv"
load "$work/today.csv" >/dev/null
for zone in Pacific/Kiritimati Etc/GMT+12; do
  check "until in $zone" "$(TZ=$zone PGOPTIONS="-c timezone=$zone" "$fleet" ask --csv unmanaged-machines days=1 | grep today || true)" ""
done

# Days are 115.2 pixels apart from x = 60; the share is 200 pixels high
# from y = 58, the machines reporting (at most 4) 120 from y = 298.
"$fleet" ask --svg "$work/share.svg" daily-share until=2026-11-06
xmllint --noout "$work/share.svg"
cmp "$work/share.svg" docs/fleet-sample/daily-share.svg
rsvg-convert -f png -o "$work/share.png" "$work/share.svg"
# 2 November: 93.1% managed, 3 of 4 machines managed; 5 November: 30.8%, 1 of 3.
for pixel in "118 65 #E69F00" "118 250 #0072B2" "463 150 #E69F00" "463 250 #0072B2" "175 150 #FFFFFF" \
  "118 310 #E69F00" "118 350 #0072B2" "463 310 #FFFFFF" "463 350 #E69F00" "463 410 #0072B2"; do
  set -- $pixel
  check "pixel $1,$2" "$(python3 "$src/tests/support/png_colour.py" "$work/share.png" "$1" "$2")" "$3"
done
