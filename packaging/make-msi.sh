#!/bin/sh
# make-msi.sh DIST VERSION OUT.msi: builds the package from the files
# make-dist.sh put in DIST, as product version VERSION.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
version="$2"
msi="$(realpath "$3")"
# wixl takes the sources' paths from the current folder only.
cd "$1"
report=""
[ ! -f mardonel-report.exe ] || report="-D Report=yes"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
# wixl warns that Package has no Platform; -a x64 is what makes it 64-bit.
status=0
wixl -a x64 -D Version="$version" $report -o "$msi" "$here/Mardonel.wxs" 2>"$log" || status=$?
grep -v "Platform" "$log" >&2 || true
exit $status
