#!/bin/sh
# Fails on a formatting difference anywhere in the C++ sources, or on a tidy
# finding in src/, host/ and report/ (the module, its libraries and the two
# programs, Windows code included: about three minutes on two cores) or in
# fleet/ (the native fleet program). Takes the compile commands of BUILD_DIR
# (default: build) and BUILD_DIR/fleet, which scripts/build.sh writes.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(realpath -m "${BUILD_DIR:-$root/build}")"
"$root/scripts/install-missing.sh" clang-format clang-tidy
cd "$root"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
# Clang finds the cross compiler's C++ library only when told where it is.
cxx="$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | tail -1)"
run-clang-tidy -quiet -j "$(nproc)" -p "$build_dir" -extra-arg=--target=x86_64-w64-mingw32 \
  -extra-arg=-isystem"$cxx" -extra-arg=-isystem"$cxx/x86_64-w64-mingw32" -extra-arg=-isystem"$cxx/backward" \
  "$root/src/" "$root/host/" "$root/report/" >"$build_dir/tidy.log" 2>&1 || { grep -E '(error|warning): ' "$build_dir/tidy.log"; exit 1; }
run-clang-tidy -quiet -j "$(nproc)" -p "$build_dir/fleet" "$root/fleet/" >"$build_dir/tidy-fleet.log" 2>&1 ||
  { grep -E '(error|warning): ' "$build_dir/tidy-fleet.log"; exit 1; }
