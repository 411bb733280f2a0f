#!/bin/sh
# install-missing.sh PACKAGE...: installs with apt-get those of the Debian
# packages named that are not installed yet, through sudo when not root.
set -e
missing=""
for package in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -n "$missing" ] || exit 0
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
$sudo_cmd apt-get update -qq
$sudo_cmd apt-get install -y -qq $missing >/dev/null
