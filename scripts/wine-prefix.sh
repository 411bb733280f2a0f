#!/bin/sh
# start PREFIX: makes the Wine prefix once and keeps one wineserver up.
# stop PREFIX: ends that wineserver.
set -e
usage() {
  echo "usage: $0 start|stop PREFIX" >&2
  exit 2
}
[ $# -eq 2 ] && [ -n "$2" ] || usage
action="$1"
# Wine refuses a relative prefix; resolve it against where we were started.
WINEPREFIX="$(realpath -m "$2")"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The prefix is made and its services start in the tests' locale and zone,
# whatever the user's settings, or none.
unset LC_ALL LC_CTYPE LC_COLLATE LC_MESSAGES LC_NUMERIC LC_TIME LC_MONETARY LANGUAGE
export LANG=C.UTF-8 TZ=UTC
wine_dir=/usr/lib/wine
case "$action" in
  start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      mkdir -p "$WINEPREFIX"
      "$wine_dir/wine64" wineboot -i >/dev/null 2>&1
      "$wine_dir/wineserver" -w
    fi
    # Already running for this prefix is fine. No test runner's pipe may stay
    # open in the server or the services.
    "$wine_dir/wineserver" -p </dev/null >/dev/null 2>&1 || true
    # The prefix's own services start with the first program; start them
    # here, detached from any pipe a test runner would wait on.
    "$wine_dir/wine64" cmd /c exit </dev/null >/dev/null 2>&1
    ;;
  stop)
    "$wine_dir/wineserver" -k 2>/dev/null || true
    ;;
  *)
    usage
    ;;
esac
