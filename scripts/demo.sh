#!/bin/sh
# The main job: installs what is missing, builds, and plays a scenario
# (default: scenarios/demo.scenario) through agent-host.exe under Wine; the
# host then shows the history lines and log lines the run wrote.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"
scenario="$(realpath "${1:-$root/scenarios/demo.scenario}")"

"$root/scripts/setup.sh"
# Only the module and the host: the test programs are the test command's.
BUILD_DIR="$build_dir" "$root/scripts/build.sh" --target agent-host

prefix="$build_dir/wineprefix"
run="$build_dir/wine-run.sh"
"$root/scripts/wine-prefix.sh" start "$prefix"

# No management point can be reached from here; a remembered managed subnet
# lets the demo show both states. The prefix's own value comes back after.
key='HKLM\Software\Quarnel\Common'
previous="$("$run" reg query "$key" /v ManagedSubnets 2>/dev/null | tr -d '\r' | sed -n 's/^ *ManagedSubnets *REG_SZ *//p')"
had_value=no
"$run" reg query "$key" /v ManagedSubnets >/dev/null 2>&1 && had_value=yes
restore() {
  if [ "$had_value" = yes ]; then
    "$run" reg add "$key" /v ManagedSubnets /d "$previous" /f >/dev/null 2>&1 || true
  else
    "$run" reg delete "$key" /v ManagedSubnets /f >/dev/null 2>&1 || true
  fi
  "$root/scripts/wine-prefix.sh" stop "$prefix"
}
trap restore EXIT
"$run" reg add "$key" /v ManagedSubnets /d 127.0.0.0 /f >/dev/null

echo
echo "Playing $scenario"
cd "$build_dir/bin"
"$run" agent-host.exe --include-loopback --scenario "Z:$(printf '%s' "$scenario" | tr / '\\')"
