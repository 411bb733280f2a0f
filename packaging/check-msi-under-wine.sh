#!/bin/sh
# check-msi-under-wine.sh WINE-RUN PREFIX DIST VERSION: installs, runs,
# reinstalls, refuses to downgrade, uninstalls, installs an older package
# without the template and upgrades it, with Wine's own msiexec in a fresh
# prefix of its own (WINE-RUN runs programs in PREFIX). One prefix serves
# every step: a fresh prefix's first start is what takes the time.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
run="$(realpath "$1")"
prefix="$(realpath -m "$2")"
dist="$(realpath "$3")"
version="$4"
older=0.0.1

drive="$prefix/drive_c"
default_dir="$drive/Program Files/Quarnel/ToveraAgt"
other_dir="$drive/Agents/ToveraAgt"
policy="$drive/windows/PolicyDefinitions"
states="$drive/ProgramData/Application Data/Quarnel/ToveraAgt/States"
log="$drive/temp/agent-host.log"
settings='HKLM\Software\Quarnel\ToveraAgt'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

fail() { echo "FAIL: $*" >&2; exit 1; }
ok() { echo "ok $*"; }
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

rm -rf "$prefix"
work="$(mktemp -d)"
trap 'rm -rf "$work"; "$here/../scripts/wine-prefix.sh" stop "$prefix"' EXIT
sh "$here/make-msi.sh" "$dist" "$older" "$work/Mardonel-$older-x64.msi"
# Each package gets a product code of its own: a rebuild of this version.
sh "$here/make-msi.sh" "$dist" "$version" "$work/rebuilt.msi"
current="$(windows_path "$dist/Mardonel-$version-x64.msi")"
rebuilt="$(windows_path "$work/rebuilt.msi")"
previous="$(windows_path "$work/Mardonel-$older-x64.msi")"
"$here/../scripts/wine-prefix.sh" start "$prefix"

# msiexec EXPECTED ARGS...: runs msiexec, whose exit status must be EXPECTED.
msiexec() {
  expected="$1"
  shift
  status=0
  "$run" msiexec "$@" >/dev/null 2>&1 || status=$?
  [ "$status" -eq "$expected" ] || fail "msiexec $* exited $status, not $expected"
}
# The version of every installed Mardonel product, one a line.
installed() {
  "$run" reg query "$uninstall" /s | tr -d '\r' | awk '
    /^HKEY/ { key = $0 }
    $1 == "DisplayName" && $NF == "Mardonel" { ours[key] = 1 }
    $1 == "DisplayVersion" { shown[key] = $NF }
    END { for (key in ours) print shown[key] }'
}
expect_one_product() {
  [ "$(installed)" = "$1" ] || fail "installed products: '$(installed)', not one of version $1"
}
# binaries_in DIR: the release folder's DLL and programs, byte for byte, so
# with the version resource check-dist.sh found in them.
binaries_in() {
  for name in Mardonel.dll agent-host.exe mardonel-report.exe; do
    [ -f "$dist/$name" ] || [ "$name" = mardonel-report.exe ] || fail "no $name in $dist"
    [ ! -f "$dist/$name" ] || cmp -s "$dist/$name" "$1/$name" || fail "$1/$name is not the release folder's"
  done
}
settings_now() { "$run" reg query "$settings" | tr -d '\r' | grep REG_; }
policy_files() { ls "$policy/ToveraAgt.admx" "$policy/en-US/ToveraAgt.adml" 2>/dev/null | wc -l; }

msiexec 0 /i "$current" /qn
expect_one_product "$version"
binaries_in "$default_dir"
[ "$(policy_files)" -eq 2 ] || fail "the template is not in $policy"
ok "installed $version into $default_dir, template into PolicyDefinitions"

(cd "$default_dir" && "$run" agent-host.exe --include-loopback --for 2 >"$work/host.out" 2>&1) \
  || { cat "$work/host.out"; fail "the installed host failed"; }
ls "$states"/*.mgt >/dev/null 2>&1 || fail "no history file in $states"
written="$(settings_now)"
for value in LogFileName MaxLogFilesize Debug; do
  echo "$written" | grep -q "^ *$value " || fail "the module did not write $value"
done
ok "the installed host ran the installed module: history file and default settings written"

for package in "$current" "$rebuilt"; do
  msiexec 0 /i "$package" /qn
  expect_one_product "$version"
  [ "$(settings_now)" = "$written" ] || fail "reinstalling changed the settings"
done
ok "reinstalled the same package and a rebuild of it: one product, settings unchanged"

# 1603 (the launch condition failed), as an 8-bit Unix exit status.
msiexec 67 /i "$previous" /qn
expect_one_product "$version"
binaries_in "$default_dir"
ok "an older package does not replace a newer"

msiexec 0 /x "$rebuilt" /qn
[ "$(installed)" = "" ] || fail "still installed after uninstall: $(installed)"
[ ! -e "$drive/Program Files/Quarnel" ] || fail "uninstall left $(find "$drive/Program Files/Quarnel")"
[ "$(policy_files)" -eq 0 ] || fail "uninstall left the template"
ls "$states"/*.mgt >/dev/null 2>&1 || fail "uninstall removed the history"
[ -s "$log" ] || fail "uninstall removed the log"
[ "$(settings_now)" = "$written" ] || fail "uninstall changed the settings"
ok "uninstalled: files and folders gone; history, log and settings kept"

msiexec 0 /i "$previous" /qn ADDLOCAL=Binaries 'INSTALLDIR=C:\Agents\ToveraAgt'
expect_one_product "$older"
[ -f "$other_dir/Mardonel.dll" ] || fail "INSTALLDIR was not used"
[ "$(policy_files)" -eq 0 ] || fail "ADDLOCAL=Binaries installed the template"
ok "installed $older into C:\\Agents\\ToveraAgt without the template"

msiexec 0 /i "$current" /qn 'INSTALLDIR=C:\Agents\ToveraAgt'
expect_one_product "$version"
binaries_in "$other_dir"
[ "$(settings_now)" = "$written" ] || fail "upgrading changed the settings"
ok "upgraded $older to $version: one product, settings unchanged"

# Wine finds the installed files through INSTALLDIR, not through the
# components it registered: the folder is given again.
msiexec 0 /x "$current" /qn 'INSTALLDIR=C:\Agents\ToveraAgt'
[ ! -e "$other_dir" ] || fail "uninstall left $other_dir"
ok "uninstalled from C:\\Agents\\ToveraAgt"
