#!/bin/sh
# Builds and runs the benchmark program under Wine; prints one ratio a figure.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
# Relative to where the script is started; Wine wants absolute paths.
build_dir="$(realpath -m "${BUILD_DIR:-$root/build}")"
"$root/scripts/setup.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh" >/dev/null
"$root/scripts/wine-prefix.sh" start "$build_dir/wineprefix"
status=0
(cd "$build_dir/bin" && "$build_dir/wine-run.sh" mardonel-bench.exe "$@") || status=$?
"$root/scripts/wine-prefix.sh" stop "$build_dir/wineprefix"
exit $status
