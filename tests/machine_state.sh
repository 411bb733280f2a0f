#!/bin/sh
# machine_state.sh save|compare WINE-RUN PREFIX STATE-FOLDER: what the tests
# must leave as they found it, the prefix's Quarnel registry trees and
# C:\temp, saved before the tests and compared after them.
set -e
action="$1"
wine_run="$2"
temp="$3/drive_c/temp"
state="$4"

snapshot() {
  for key in 'HKLM\Software\Quarnel' 'HKLM\Software\Policies\Quarnel'; do
    echo "== $key"
    if listing="$("$wine_run" reg query "$key" /s 2>/dev/null)"; then
      printf '%s\n' "$listing" | tr -d '\r'
    else
      echo "(no such key)"
    fi
  done
  printf '== C:\\temp\n'
  if [ -d "$temp" ]; then
    (cd "$temp" && find . -printf '%y %s %p\n' | LC_ALL=C sort &&
      find . -type f -exec sha256sum {} + | LC_ALL=C sort -k 2)
  else
    echo "(no such folder)"
  fi
}

case "$action" in
  save)
    mkdir -p "$state"
    snapshot >"$state/before.txt"
    ;;
  compare)
    snapshot >"$state/after.txt"
    diff -u "$state/before.txt" "$state/after.txt"
    ;;
  *)
    echo "usage: $0 save|compare WINE-RUN PREFIX STATE-FOLDER" >&2
    exit 2
    ;;
esac
