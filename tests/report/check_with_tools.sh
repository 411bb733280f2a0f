#!/bin/sh
# check_with_tools.sh WINE-RUN BIN-FOLDER SAMPLE-FOLDER: the report of the
# sample folder checked by other programs. The CSV must hold the figures
# worked out by hand, and loaded into sqlite3 give the totals of the text
# table; the picture must be well-formed XML without scripts or links, and,
# rendered by rsvg-convert, show known hours in their colours. A report
# that cannot be written is a failure.
set -e
wine_run="$1"
png_colour="$(cd "$(dirname "$0")/../support" && pwd)/png_colour.py"
cd "$2"
sample="Z:$(printf '%s' "$3" | tr / '\\')"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
report() {
  "$wine_run" mardonel-report.exe --folder "$sample" --from 2026-11-30 --until 2026-12-06 \
    --computer laptop-7.corp.example "$@" | tr -d '\r'
}
report --csv > "$work/days.csv"
report --svg "Z:$(printf '%s' "$work" | tr / '\\')\\days.svg" > "$work/table.txt"

cat > "$work/expected.csv" <<'CSV'
computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record
laptop-7.corp.example,2026-11-30,32065,2605,51730,3,2026-11-30T08:02:10,2026-11-30T17:40:00
laptop-7.corp.example,2026-12-01,16200,18000,52200,2,2026-12-01T09:00:00,2026-12-01T18:30:00
laptop-7.corp.example,2026-12-02,33300,0,53100,2,2026-12-02T07:45:00,2026-12-02T17:00:00
laptop-7.corp.example,2026-12-03,0,0,86400,0,2026-12-03T00:00:00,2026-12-03T00:00:00
laptop-7.corp.example,2026-12-04,0,0,86400,0,2026-12-04T00:00:00,2026-12-04T00:00:00
laptop-7.corp.example,2026-12-05,9000,14400,63000,1,2026-12-05T10:00:00,2026-12-05T23:30:00
laptop-7.corp.example,2026-12-06,4200,0,82200,1,2026-12-06T00:30:00,2026-12-06T01:10:00
CSV
diff "$work/expected.csv" "$work/days.csv"

table_totals="$(awk '$1 == "Total" {
  n = split("2 3 4", columns, " ")
  for (i = 1; i <= n; ++i) { split($(columns[i]), t, ":"); printf "%d|", t[1] * 3600 + t[2] * 60 + t[3] }
  print $5 }' "$work/table.txt")"
sql_totals="$(sqlite3 "$work/days.db" '.import --csv '"$work/days.csv"' days' \
  'SELECT sum(managed_s) || "|" || sum(unmanaged_s) || "|" || sum(off_s) || "|" || sum(changes) FROM days;')"
echo "table totals: $table_totals; sqlite3 totals: $sql_totals"
[ "$table_totals" = "94765|35005|475030|9" ] && [ "$sql_totals" = "$table_totals" ]

xmllint --noout "$work/days.svg"
if grep -qiE '<script|href|@import|url\(' "$work/days.svg"; then
  echo "the picture refers to something outside itself"
  exit 1
fi
# Each row's share is rounded once from its seconds: 32,065 of 34,670 on
# 30 November is 92.49%, 16,200 of 34,200 on 1 December 47.37%.
grep -q '>92%</text>' "$work/days.svg"
grep -q '>47%</text>' "$work/days.svg"

# Rendered: the chart starts at x = 90 and gives each hour 24 pixels; day
# rows are 18 pixels apart, the first bar's middle at y = 67.
rsvg-convert -f png -o "$work/days.png" "$work/days.svg"
colour_at() { python3 "$png_colour" "$work/days.png" "$1" "$2"; }
for check in "85 342 #E69F00" "85 462 #0072B2" "85 582 #F0F0F0" "121 366 #F0F0F0" "67 318 #0072B2" "67 396 #E69F00"; do
  set -- $check
  colour="$(colour_at "$2" "$1")"
  echo "pixel x=$2 y=$1: $colour"
  [ "$colour" = "$3" ]
done

# Standard output on a full disk.
if "$wine_run" mardonel-report.exe --folder "$sample" --days 1 > /dev/full 2> "$work/error.txt"; then
  echo "a report written to a full disk counted as made"
  exit 1
fi
grep -q 'cannot write the report: Disk full' "$work/error.txt"
