#!/bin/sh
# Installs what is missing, builds, and runs every test under Wine.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
# Relative to where the script is started; Wine wants absolute paths.
build_dir="$(realpath -m "${BUILD_DIR:-$root/build}")"
"$root/scripts/setup.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh"
"$root/scripts/wine-prefix.sh" start "$build_dir/wineprefix"
status=0
(cd "$build_dir" && ctest --output-on-failure --no-tests=error -j "$(nproc)" "$@") || status=$?
"$root/scripts/wine-prefix.sh" stop "$build_dir/wineprefix"
exit $status
