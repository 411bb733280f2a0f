#!/bin/sh
# Configures and builds into BUILD_DIR (default: build) as BUILD_TYPE
# (default: RelWithDebInfo), warnings as errors; arguments go to the build,
# e.g. --target agent-host.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
# Relative to where the script is started; Wine wants absolute paths.
build_dir="$(realpath -m "${BUILD_DIR:-$root/build}")"
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  -DMARDONEL_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build_dir" -j "$(nproc)" "$@"
