#!/bin/sh
# Builds the native fuzz targets and runs each for FUZZ_SECONDS (default 30)
# on a scratch copy of its committed seed corpus. Fails on any finding.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(realpath -m "${FUZZ_BUILD_DIR:-$root/fuzz-build}")"
seconds="${FUZZ_SECONDS:-30}"
"$root/scripts/install-missing.sh" clang libclang-rt-14-dev cmake
cmake -S "$root/fuzz" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
status=0
for seeds in "$root"/fuzz/corpus/*/; do
  target="$(basename "$seeds")"
  work="$build_dir/corpus-work/$target"
  rm -rf "$work" && mkdir -p "$work"
  echo "fuzzing $target for ${seconds}s"
  if ! "$build_dir/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$build_dir/crash-$target-" "$work" "$seeds" >"$build_dir/$target.log" 2>&1; then
    echo "fuzz target $target found a fault:"
    tail -40 "$build_dir/$target.log"
    status=1
  else
    grep -E "stat::number_of_executed_units" "$build_dir/$target.log" || true
  fi
done
exit $status
