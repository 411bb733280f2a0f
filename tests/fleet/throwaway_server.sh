# Sourced by the fleet tests once `src` and `work` are set: a throwaway
# PostgreSQL in work/server, named by the PG* variables and stopped at exit.
# The work folder is kept after a failure, to be looked at.
eval "$("$src/scripts/fleet-server.sh" start "$work/server")"
trap 'status=$?; "$src/scripts/fleet-server.sh" stop "$work/server"; [ $status -ne 0 ] || rm -rf "$work"' EXIT

# check WHAT GOT WANTED: ends the test, showing both, unless they are equal.
check() {
  [ "$2" = "$3" ] && return
  printf '%s:\n%s\nwanted:\n%s\n' "$1" "$2" "$3"
  exit 1
}
