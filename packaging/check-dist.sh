#!/bin/sh
# check-dist.sh OUT VERSION BINARY...: makes an unsigned release folder from
# the build's binaries and checks it: said unsigned once, no debug section
# left, a symbols file each with the link to it, imports as built, the
# version resource of this build, and the package.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
out="$1"
version="$2"
shift 2
objdump=x86_64-w64-mingw32-objdump
fail() { echo "FAIL: $*" >&2; exit 1; }

said="$(env -u SIGN_CERT -u SIGN_KEY sh "$here/make-dist.sh" "$out" "$version" "$@")"
echo "$said"
[ "$(echo "$said" | grep -c '^Unsigned build')" -eq 1 ] || fail "an unsigned build must say so once"

for binary in "$@"; do
  name="$(basename "$binary")"
  stripped="$out/$name"
  $objdump -h "$binary" | grep -q ' \.debug_info ' || fail "$binary was built without debug information"
  ! $objdump -h "$stripped" | grep -q ' \.debug_' || fail "$stripped keeps debug sections"
  $objdump -h "$out/$name.debug" | grep -q ' \.debug_info ' || fail "$name.debug holds no symbols"
  x86_64-w64-mingw32-objcopy --dump-section .gnu_debuglink="$out/link" "$stripped" "$out/scratch"
  [ "$(tr '\000' '\n' < "$out/link" | head -n 1)" = "$name.debug" ] || fail "$stripped does not link to $name.debug"
  rm "$out/link" "$out/scratch"
  [ "$($objdump -p "$binary" | grep 'DLL Name')" = "$($objdump -p "$stripped" | grep 'DLL Name')" ] \
    || fail "$stripped imports other DLLs than $binary"
  x86_64-w64-mingw32-windres -i "$stripped" -O rc 2>/dev/null \
    | grep -q "VALUE \"FileVersion\", \"$version.0\"" || fail "$stripped does not carry version $version.0"
  echo "ok $name: $(stat -c %s "$binary") bytes built, $(stat -c %s "$stripped") stripped"
done

for file in PolicyDefinitions/ToveraAgt.admx PolicyDefinitions/en-US/ToveraAgt.adml \
            ToveraAgt-settings.reg "Mardonel-$version-x64.msi"; do
  [ -s "$out/$file" ] || fail "$out/$file is missing"
done
echo "ok $out"
