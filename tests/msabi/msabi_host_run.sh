#!/bin/sh
# msabi_host_run.sh WINE-RUN PROGRAM: runs the Microsoft-ABI host with a
# scratch folder of its own, removed afterwards. Its output goes through a
# file: a Wine service that the module's first WMI call starts would
# otherwise keep the test runner's pipe open.
set -e
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
MARDONEL_MSABI_FOLDER="Z:$(printf '%s' "$folder" | tr / '\\')"
export MARDONEL_MSABI_FOLDER
status=0
"$1" "$2" </dev/null >"$folder/output" 2>&1 || status=$?
cat "$folder/output"
exit $status
