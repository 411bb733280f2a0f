#!/bin/sh
# fleet-ask.sh [--csv] QUERY [NAME=VALUE...]: runs fleet/queries/QUERY.sql
# against the fleet database that the PG* variables name, for example
# fleet-ask.sh unmanaged-machines days=14.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
format=""
[ "$1" != "--csv" ] || { format="--csv"; shift; }
if [ $# -eq 0 ] || [ ! -f "$root/fleet/queries/$1.sql" ]; then
  echo "usage: $0 [--csv] QUERY [NAME=VALUE...]; QUERY is one of:" >&2
  ls "$root/fleet/queries" | sed -n 's/\.sql$//p' >&2
  exit 2
fi
query="$root/fleet/queries/$1.sql"
shift
for setting; do
  case "$setting" in
    [a-z]*=*) set -- "$@" -v "$setting" ;;
    *) echo "$0: not NAME=VALUE: $setting" >&2; exit 2 ;;
  esac
  shift
done
exec psql -X -q $format -v ON_ERROR_STOP=1 "$@" -f "$query"
