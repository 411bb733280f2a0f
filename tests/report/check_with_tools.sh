#!/bin/sh
# check_with_tools.sh WINE-RUN BIN-FOLDER SAMPLE-FOLDER: the report of the
# sample folder checked by other programs. The CSV loaded into sqlite3 must
# give the totals of the text table; the picture must be well-formed XML
# without scripts or links, and show known hours in their colours.
set -e
wine_run="$1"
cd "$2"
sample="Z:$(printf '%s' "$3" | tr / '\\')"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
report() {
  "$wine_run" mardonel-report.exe --folder "$sample" --from 2026-11-30 --until 2026-12-06 "$@" | tr -d '\r'
}
report --csv > "$work/days.csv"
report --svg "Z:$(printf '%s' "$work" | tr / '\\')\\days.svg" > "$work/table.txt"

table_totals="$(awk '$1 == "Total" {
  n = split("2 3 4", columns, " ")
  for (i = 1; i <= n; ++i) { split($(columns[i]), t, ":"); printf "%d|", t[1] * 3600 + t[2] * 60 + t[3] }
  print $5 }' "$work/table.txt")"
sql_totals="$(sqlite3 "$work/days.db" '.import --csv '"$work/days.csv"' days' \
  'SELECT sum(managed_s) || "|" || sum(unmanaged_s) || "|" || sum(off_s) || "|" || sum(changes) FROM days;')"
echo "table totals: $table_totals; sqlite3 totals: $sql_totals"
[ -n "$table_totals" ] && [ "$table_totals" = "$sql_totals" ]
[ "$(sqlite3 "$work/days.db" 'SELECT count(*) FROM days WHERE managed_s + unmanaged_s + off_s = 86400;')" = 7 ]

xmllint --noout "$work/days.svg"
if grep -qiE '<script|href|@import|url\(' "$work/days.svg"; then
  echo "the picture refers to something outside itself"
  exit 1
fi
# The chart starts at x = 90 and gives each hour 24 units.
colour_at() {
  xmllint --xpath "string((//*[local-name()='g'][@id='day-$1']/*[local-name()='rect'][@x <= $2 and @x + @width > $2])[last()]/@fill)" "$work/days.svg"
}
for check in "2026-12-01 342 #E69F00" "2026-12-01 474 #0072B2" "2026-12-01 570 #F0F0F0" "2026-12-03 354 #F0F0F0"; do
  set -- $check
  colour="$(colour_at "$1" "$2")"
  echo "$1 at x=$2: $colour"
  [ "$colour" = "$3" ]
done
