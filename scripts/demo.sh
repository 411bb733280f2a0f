#!/bin/sh
# The main job: installs what is missing, builds, and plays a scenario
# (default: scenarios/demo.scenario) through agent-host.exe under Wine; the
# host then shows the history lines and log lines the run wrote; the report
# of the history folder follows, with its picture in build/report.svg, and
# the report of the shipped sample week, with its picture in
# build/sample-report.svg.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
# Relative to where the script is started; Wine wants absolute paths.
build_dir="$(realpath -m "${BUILD_DIR:-$root/build}")"
scenario="$(realpath "${1:-$root/scenarios/demo.scenario}")"

"$root/scripts/setup.sh"
# Only the module and the host: the test programs are the test command's.
BUILD_DIR="$build_dir" "$root/scripts/build.sh" --target agent-host --target mardonel-report
build_dir="$(cd "$build_dir" && pwd)"

prefix="$build_dir/wineprefix"
run="$build_dir/wine-run.sh"
"$root/scripts/wine-prefix.sh" start "$prefix"

# No management point can be reached from here; a remembered managed subnet
# lets the demo show both states. The prefix's registry is put back after.
key='HKLM\Software\Quarnel\Common'
had_key=no
had_value=no
previous=""
if "$run" reg query "$key" >/dev/null 2>&1; then
  had_key=yes
  if "$run" reg query "$key" /v ManagedSubnets >/dev/null 2>&1; then
    had_value=yes
    previous="$("$run" reg query "$key" /v ManagedSubnets | tr -d '\r' | sed -n 's/^ *ManagedSubnets *REG_SZ *//p')"
  fi
fi
restore() {
  if [ "$had_value" = yes ]; then
    "$run" reg add "$key" /v ManagedSubnets /d "$previous" /f >/dev/null 2>&1 || true
  elif [ "$had_key" = yes ]; then
    "$run" reg delete "$key" /v ManagedSubnets /f >/dev/null 2>&1 || true
  else
    "$run" reg delete "$key" /f >/dev/null 2>&1 || true
  fi
  "$root/scripts/wine-prefix.sh" stop "$prefix"
}
trap restore EXIT
"$run" reg add "$key" /v ManagedSubnets /d 127.0.0.0 /f >/dev/null

echo
echo "Playing $scenario"
cd "$build_dir/bin"
"$run" agent-host.exe --include-loopback --scenario "Z:$(printf '%s' "$scenario" | tr / '\\')"

windows_build="Z:$(printf '%s' "$build_dir" | tr / '\\')"
echo
echo "Report of this machine's history folder, last 7 days (the demo's records lie seconds apart)"
"$run" mardonel-report.exe --days 7 --svg "$windows_build\\report.svg"
echo "Timeline picture: $build_dir/report.svg"

echo
echo "Report of the shipped sample week (docs/sample-history: a laptop's week, see the README)"
"$run" mardonel-report.exe --folder "Z:$(printf '%s' "$root/docs/sample-history" | tr / '\\')" \
  --from 2026-11-30 --until 2026-12-06 --computer laptop-7.corp.example --svg "$windows_build\\sample-report.svg"
echo "Timeline picture of the sample week: $build_dir/sample-report.svg"
