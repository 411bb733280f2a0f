#!/bin/sh
# check-signing.sh OUT VERSION BINARY...: makes a release folder signed with
# a throwaway self-signed certificate and checks the DLL, the host and the
# package against it, and the binaries inside the package too. A second
# certificate that signed nothing must not verify them.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
out="$1"
version="$2"
shift 2
fail() { echo "FAIL: $*" >&2; exit 1; }
keys="$(mktemp -d)"
trap 'rm -rf "$keys"' EXIT

for who in signer stranger; do
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Mardonel test $who" \
    -keyout "$keys/$who.key" -out "$keys/$who.pem" 2>/dev/null
done
said="$(SIGN_CERT="$keys/signer.pem" SIGN_KEY="$keys/signer.key" sh "$here/make-dist.sh" "$out" "$version" "$@")"
! echo "$said" | grep -q Unsigned || fail "a signed build says it is unsigned"

msiextract -C "$keys/extracted" "$out/Mardonel-$version-x64.msi" >/dev/null
for file in "$out/Mardonel.dll" "$out/agent-host.exe" "$out/Mardonel-$version-x64.msi" \
            "$(find "$keys/extracted" -name Mardonel.dll)" "$(find "$keys/extracted" -name agent-host.exe)"; do
  [ -f "$file" ] || fail "no $file"
  osslsigncode verify -CAfile "$keys/signer.pem" -in "$file" >/dev/null 2>&1 \
    || fail "$file does not verify against the signing certificate"
  ! osslsigncode verify -CAfile "$keys/stranger.pem" -in "$file" >/dev/null 2>&1 \
    || fail "$file verifies against a certificate that did not sign it"
  echo "ok signed: $file"
done
