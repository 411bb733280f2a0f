#!/bin/sh
# make-dist.sh OUT VERSION BINARY...: empties OUT, then writes into it each
# binary stripped of its debug sections and symbol table, with its symbols
# beside it (NAME.debug, found through .gnu_debuglink), the administrative
# template, the sample settings file and Mardonel-VERSION-x64.msi. With
# SIGN_CERT and SIGN_KEY (PEM files) set, the binaries are signed before they
# go into the package, then the package.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
out="$1"
version="$2"
shift 2
objcopy=x86_64-w64-mingw32-objcopy

if [ -n "$SIGN_CERT" ] || [ -n "$SIGN_KEY" ]; then
  if [ -z "$SIGN_CERT" ] || [ -z "$SIGN_KEY" ]; then
    echo "make-dist: set both SIGN_CERT and SIGN_KEY, or neither" >&2
    exit 2
  fi
  signing=yes
else
  signing=no
  echo "Unsigned build: set SIGN_CERT and SIGN_KEY (PEM files) to sign."
fi

sign() {
  osslsigncode sign -certs "$SIGN_CERT" -key "$SIGN_KEY" -h sha256 \
    -n Mardonel -in "$1" -out "$1.signed" >/dev/null
  mv "$1.signed" "$1"
}

rm -rf "$out"
mkdir -p "$out/PolicyDefinitions/en-US"
out="$(cd "$out" && pwd)"
for binary in "$@"; do
  binary="$(realpath "$binary")"
  name="$(basename "$binary")"
  $objcopy --only-keep-debug "$binary" "$out/$name.debug"
  # The link names the symbols file without its folder, so it is added from
  # inside OUT.
  (cd "$out" && $objcopy --strip-all --add-gnu-debuglink="$name.debug" "$binary" "$name")
  [ "$signing" = no ] || sign "$out/$name"
done

cp "$here/admx/ToveraAgt.admx" "$out/PolicyDefinitions/"
cp "$here/admx/en-US/ToveraAgt.adml" "$out/PolicyDefinitions/en-US/"
cp "$here/ToveraAgt-settings.reg" "$out/"

msi="$out/Mardonel-$version-x64.msi"
sh "$here/make-msi.sh" "$out" "$version" "$msi"
[ "$signing" = no ] || sign "$msi"
echo "Wrote $out"
