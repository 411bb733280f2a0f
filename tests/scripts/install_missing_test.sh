#!/bin/sh
# install_missing_test.sh INSTALLER: runs the installer against stand-ins for
# dpkg-query, apt-get, sudo and id, and checks that only the missing packages
# are installed, through sudo only when not root.
set -e
installer="$1"
fake="$(mktemp -d)"
trap 'rm -rf "$fake"' EXIT
cat >"$fake/dpkg-query" <<'STUB'
#!/bin/sh
for last; do :; done
[ "$last" = present ] && echo "install ok installed" || echo "unknown ok not-installed"
STUB
printf '#!/bin/sh\necho "apt-get $*" >>"%s/calls"\n' "$fake" >"$fake/apt-get"
printf '#!/bin/sh\necho sudo >>"%s/calls"\nexec "$@"\n' "$fake" >"$fake/sudo"
printf '#!/bin/sh\necho "$FAKE_UID"\n' >"$fake/id"
chmod +x "$fake"/*

check() {
  rm -f "$fake/calls"
  FAKE_UID="$1" PATH="$fake:$PATH" sh "$installer" $2 >/dev/null
  got="$(cat "$fake/calls" 2>/dev/null || true)"
  [ "$got" = "$3" ] || { printf 'uid %s, packages %s:\n%s\nwanted:\n%s\n' "$1" "$2" "$got" "$3"; exit 1; }
}
check 1000 "present absent1 present absent2" "sudo
apt-get update -qq
sudo
apt-get install -y -qq absent1 absent2"
check 0 "absent1" "apt-get update -qq
apt-get install -y -qq absent1"
check 1000 "present" ""
echo "installer: only missing packages, sudo when not root"
