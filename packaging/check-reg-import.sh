#!/bin/sh
# check-reg-import.sh WINE-RUN REG-FILE: the sample settings file imports
# under Wine and yields its three values. It is imported into a scratch key,
# so the prefix's real settings stay as they are.
set -e
wine_run="$1"
reg_file="$2"
scratch='Software\MardonelSampleImportCheck'
copy="$(mktemp --suffix=.reg)"
trap 'rm -f "$copy"; "$wine_run" reg delete "HKLM\\$scratch" /f >/dev/null 2>&1 || true' EXIT
sed 's/^\[HKEY_LOCAL_MACHINE\\Software\\Quarnel\\ToveraAgt\]/[HKEY_LOCAL_MACHINE\\'"$(printf '%s' "$scratch" | sed 's/\\/\\\\/g')"']/' "$reg_file" > "$copy"
grep -q SampleImportCheck "$copy"
"$wine_run" reg import "Z:$(printf '%s' "$copy" | tr / '\\')" >/dev/null
values="$("$wine_run" reg query "HKLM\\$scratch" | tr -d '\r')"
echo "$values"
echo "$values" | grep -Eq 'LogFileName +REG_SZ *$'
echo "$values" | grep -Eq 'MaxLogFilesize +REG_DWORD +0x100000$'
echo "$values" | grep -Eq 'Debug +REG_DWORD +0x9$'
