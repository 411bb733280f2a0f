#!/bin/sh
# start DIR: makes (once) and starts a throwaway PostgreSQL cluster in DIR,
# reachable only through its socket folder, and prints the PG* settings as
# shell exports: eval "$(scripts/fleet-server.sh start DIR)".
# stop DIR: stops it; DIR may then be removed.
set -e
usage() {
  echo "usage: $0 start|stop DIR" >&2
  exit 2
}
[ $# -eq 2 ] && [ -n "$2" ] || usage
bin=/usr/lib/postgresql/15/bin
dir="$(realpath -m "$2")"
# The server refuses to run as root; it runs as the package's own user.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
# No TCP port is opened: with trust authentication, the socket folder's
# permissions are the only gate, so the port number only names the socket.
port=5432
case "$1" in
  start)
    [ -x "$bin/pg_ctl" ] || "$(dirname "$0")/install-missing.sh" postgresql
    mkdir -p "$dir/socket"
    [ "$(id -u)" -ne 0 ] || chown -R postgres: "$dir"
    chmod 700 "$dir" "$dir/socket"
    if [ ! -f "$dir/data/PG_VERSION" ]; then
      as_owner "$bin/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log"
    fi
    if ! as_owner "$bin/pg_ctl" -D "$dir/data" status >/dev/null 2>&1; then
      as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -o \
        "-k '$dir/socket' -p $port -c listen_addresses='' -c unix_socket_permissions=0700" start >/dev/null
    fi
    echo "export PGHOST='$dir/socket' PGPORT=$port PGUSER=postgres PGDATABASE=postgres"
    ;;
  stop)
    [ ! -f "$dir/data/postmaster.pid" ] || as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
    ;;
  *)
    usage
    ;;
esac
