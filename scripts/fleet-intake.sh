#!/bin/sh
# fleet-intake.sh FOLDER: loads the report CSVs in FOLDER that are new or
# changed since they were last taken into the fleet database that the PG*
# variables name, each file through scripts/fleet-load.sh on its own, so a
# bad or half-written report holds back no other. What was taken (name,
# size, sha256, when) and why a file was refused are kept in fleet_intake
# (fleet/intake.sql); a refused file is taken again once it changes.
# Taken: the files named *.csv directly in FOLDER (a report being written
# is a NAME.csv.<process id>.part file until it is renamed), except names
# beginning with "." (other tools' temporary files) and names holding a
# tab, line break or backslash. Exit status 0 when every changed file was loaded or refused;
# 1 when the database could not be reached, or a file was neither (it is
# then tried again next time).
set -e
export LC_ALL=C
[ $# -eq 1 ] && [ -d "$1" ] || { echo "usage: $0 FOLDER" >&2; exit 2; }
root="$(cd "$(dirname "$0")/.." && pwd)"
psql -X -q -v ON_ERROR_STOP=1 -f "$root/fleet/intake.sql"
cd "$1"
# One intake of a folder at a time: cron may start one while one still runs.
exec 9<.
flock -n 9 || { echo "$0: $1: an intake of this folder is under way; nothing done"; exit 0; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM
tab="$(printf '\t')"
nl='
'

# Outcomes are written in batches: a file loaded but not yet noted when the
# intake stops is loaded again next time, which changes no row.
note() {
  [ -s "$work/taken" ] || return 0
  awk -F "$tab" '{ for (i = 1; i <= NF; i++) if ($i != "") { gsub(/"/, "\"\"", $i); $i = "\"" $i "\"" } OFS = ","; $1 = $1; print }' \
    "$work/taken" >"$work/taken.csv"
  psql -X -q -v ON_ERROR_STOP=1 <<SQL
begin;
create temp table taken (like fleet_intake) on commit drop;
\\copy taken from '$work/taken.csv' with (format csv)
insert into fleet_intake select * from taken
  on conflict (name) do update set size = excluded.size, sha256 = excluded.sha256, taken = excluded.taken,
                                   line = excluded.line, reason = excluded.reason;
commit;
SQL
  : >"$work/taken"
}

find . -maxdepth 1 -type f -name '*.csv' ! -name '.*' ! -name "*$tab*" ! -name "*$nl*" ! -name '*\\*' \
  -printf '%f\t%s\n' | sort >"$work/sizes"
cut -f1 "$work/sizes" | tr '\n' '\0' | xargs -0r sha256sum -- >"$work/hashes"
psql -X -q -v ON_ERROR_STOP=1 -A -t -F "$tab" -c 'select name, size, sha256 from fleet_intake' >"$work/stored"
awk -F "$tab" -v OFS="$tab" -v count="$work/unchanged" '
  FILENAME == ARGV[1] { stored[$1] = $2 OFS $3; next }
  FILENAME == ARGV[2] { hash[substr($0, 67)] = substr($0, 1, 64); next }
  ($1 in hash) { if (stored[$1] == $2 OFS hash[$1]) unchanged++; else print $1, $2, hash[$1] }
  END { print unchanged + 0 >count }' "$work/stored" "$work/hashes" "$work/sizes" >"$work/changed"

loaded=0 refused=0 status=0
while IFS="$tab" read -r name size hash; do
  taken="$(date -u '+%Y-%m-%d %H:%M:%S+00')"
  if "$root/scripts/fleet-load.sh" "$name" </dev/null >"$work/out" 2>"$work/errors"; then
    awk -v name="$name" '{ print name ": " $0 }' "$work/out"
    printf '%s\t%s\t%s\t%s\t\t\n' "$name" "$size" "$hash" "$taken" >>"$work/taken"
    loaded=$((loaded + 1))
  elif ! psql -X -q -c 'select' </dev/null >/dev/null 2>&1; then
    note
    cat "$work/errors" >&2
    echo "$0: the fleet database cannot be reached; $loaded loaded, $refused refused before" >&2
    exit 1
  else
    # Refused: the loader names the first bad line as NAME:LINE: reason, or
    # the file as empty.
    awk -v name="$name" -v OFS="$nl" '
      index($0, name ":") == 1 && match(rest = substr($0, length(name) + 2), /^[0-9]+: /) {
        print substr(rest, 1, RLENGTH - 2) + 0, substr(rest, RLENGTH + 1); exit
      }
      index($0, "fleet-load.sh: " name ": empty") { print "", "empty, not the report'"'"'s CSV"; exit }' \
      "$work/errors" | tr -d '\r' >"$work/why"
    if [ -s "$work/why" ]; then
      { read -r line; read -r why; } <"$work/why"
      echo "$name:${line:+$line:} $why" >&2
      printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$size" "$hash" "$taken" "$line" "$why" >>"$work/taken"
      refused=$((refused + 1))
    elif [ -f "$name" ]; then
      # Neither loaded nor refused (unreadable, or an error of the server's
      # own): not noted, so tried again next time, as is a file gone meanwhile.
      cat "$work/errors" >&2
      echo "$0: $name: not taken; tried again next time" >&2
      status=1
    fi
  fi
  [ $(((loaded + refused) % 100)) -ne 0 ] || note
done <"$work/changed"
note
echo "$0: $1: $loaded loaded, $refused refused, $(cat "$work/unchanged") unchanged"
exit $status
