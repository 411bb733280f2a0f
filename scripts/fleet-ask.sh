#!/bin/sh
# fleet-ask.sh [--csv | --svg FILE] QUERY [NAME=VALUE...]: runs
# fleet/queries/QUERY.sql against the fleet database that the PG* variables
# name, for example fleet-ask.sh unmanaged-machines days=14. A query takes
# the settings its file looks for (:{?NAME}). --svg FILE draws the answer
# of daily-share into FILE instead.
set -e
export LC_ALL=C
# `until` defaults to today as the server's clock has it: today in UTC,
# whatever the server's or this machine's time zone.
export PGTZ=UTC
root="$(cd "$(dirname "$0")/.." && pwd)"
usage() {
  echo "usage: $0 [--csv | --svg FILE] QUERY [NAME=VALUE...]; QUERY and its settings are one of:" >&2
  for query in "$root"/fleet/queries/*.sql; do
    echo "  $(basename "$query" .sql) $(settings "$query")" >&2
  done
  echo "days is a whole number from 1; from and until are dates YYYY-MM-DD; until defaults to today in UTC" \
    "(unmanaged-machines) or every day loaded (daily-share)" >&2
  exit 2
}
settings() { grep -o ':{?[a-z_]*}' "$1" | sed 's/^:{?//; s/}$//' | sort -u | tr '\n' ' ' | sed 's/ $//'; }
refuse() {
  echo "$0: $1" >&2
  exit 2
}
format="" svg=""
case "$1" in
  --csv) format="--csv" && shift ;;
  --svg) [ $# -ge 2 ] || usage && svg="$2" && shift 2 ;;
esac
case "$1" in "" | *[!a-z-]*) usage ;; esac
query="$root/fleet/queries/$1.sql"
[ -f "$query" ] || usage
[ -z "$svg" ] || [ "$1" = daily-share ] || refuse "--svg draws daily-share only"
known="$(settings "$query")"
asked="$1"
shift
for setting; do
  name="${setting%%=*}" value="${setting#*=}"
  case "$setting" in [a-z]*=*) ;; *) refuse "not NAME=VALUE: $setting" ;; esac
  case "$name" in *[!a-z_]*) refuse "not NAME=VALUE: $setting" ;; esac
  case " $known " in *" $name "*) ;; *) refuse "$asked has no setting $name (it takes $(echo ${known:-none} | sed 's/ /, /g'))" ;; esac
  case "$name" in
    days)
      case "$value" in [1-9] | [1-9][0-9] | [1-9][0-9][0-9] | [1-9][0-9][0-9][0-9]) ;;
        *) refuse "$setting: not a whole number of days from 1 to 9999" ;; esac ;;
    from | until)
      case "$value" in [0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]) ;; *) value="" ;; esac
      [ -n "$value" ] && [ "$(date -u -d "$value" +%F 2>/dev/null)" = "$value" ] ||
        refuse "$setting: not a date YYYY-MM-DD" ;;
  esac
  set -- "$@" -v "$setting"
  shift
done
if [ -z "$svg" ]; then
  exec psql -X -q $format -v ON_ERROR_STOP=1 "$@" -f "$query"
fi
# Written beside FILE and renamed: no half picture when the query fails.
picture="$(mktemp "$(dirname "$svg")/.$(basename "$svg").tmp-XXXXXX")"
trap 'rm -f "$picture"' EXIT
answer="$(psql -X -q --csv -v ON_ERROR_STOP=1 "$@" -f "$query")"
printf '%s\n' "$answer" | awk -F, -f "$root/fleet/daily-share-svg.awk" >"$picture"
chmod 644 "$picture"
mv "$picture" "$svg"
