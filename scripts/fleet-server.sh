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
root_user() { [ "$(id -u)" -eq 0 ]; }
# The server refuses to run as root; it runs as the package's own user,
# from a folder that user may enter.
as_owner() {
  if root_user; then (cd / && runuser -u postgres -- "$@"); else "$@"; fi
}
# When that user cannot reach DIR (a clone in a folder only its owner may
# enter), the cluster lives in a folder of its own under /tmp, which
# DIR/elsewhere names and stop removes.
cluster() {
  if [ -L "$dir/elsewhere" ]; then readlink "$dir/elsewhere"; else echo "$dir"; fi
}
# No TCP port is opened: with trust authentication, the socket folder's
# permissions are the only gate, so the port number only names the socket.
port=5432
case "$1" in
  start)
    # The caller evals what is printed: a failure must fail there too.
    trap '[ $? -eq 0 ] || { echo "$0: the server did not start in $dir" >&2; echo false; }' EXIT
    [ -x "$bin/pg_ctl" ] || "$(dirname "$0")/install-missing.sh" postgresql >&2
    mkdir -p "$dir"
    [ ! -L "$dir/elsewhere" ] || [ -d "$dir/elsewhere/" ] || rm "$dir/elsewhere"
    if root_user && [ ! -f "$dir/data/PG_VERSION" ] && [ ! -L "$dir/elsewhere" ] &&
      ! as_owner test -x "$(dirname "$dir")"; then
      ln -s "$(mktemp -d /tmp/fleet-server.XXXXXX)" "$dir/elsewhere"
    fi
    cluster="$(cluster)"
    mkdir -p "$cluster/socket"
    ! root_user || chown -R postgres: "$cluster"
    chmod 700 "$cluster" "$cluster/socket"
    if [ ! -f "$cluster/data/PG_VERSION" ]; then
      as_owner "$bin/initdb" -D "$cluster/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 \
        >"$cluster/initdb.log" 2>&1 || { cat "$cluster/initdb.log" >&2; exit 1; }
    fi
    if ! as_owner "$bin/pg_ctl" -D "$cluster/data" status >/dev/null 2>&1; then
      as_owner "$bin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w -o \
        "-k '$cluster/socket' -p $port -c listen_addresses='' -c unix_socket_permissions=0700" start >/dev/null ||
        { tail -5 "$cluster/server.log" >&2; exit 1; }
    fi
    echo "export PGHOST='$cluster/socket' PGPORT=$port PGUSER=postgres PGDATABASE=postgres"
    ;;
  stop)
    cluster="$(cluster)"
    [ ! -f "$cluster/data/postmaster.pid" ] || as_owner "$bin/pg_ctl" -D "$cluster/data" -m fast -w stop >/dev/null
    [ ! -L "$dir/elsewhere" ] || rm -rf "$cluster" "$dir/elsewhere"
    ;;
  *)
    usage
    ;;
esac
