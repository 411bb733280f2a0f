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
# -a x64 is what makes the package 64-bit.
wixl -a x64 -D Version="$version" $report -o "$msi" "$here/Mardonel.wxs"
