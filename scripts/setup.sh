#!/bin/sh
# Installs what the build and the tests need, only when something is missing.
set -e
packages="cmake g++-mingw-w64-x86-64-posix wine64 googletest util-linux libxml2-utils sqlite3 wixl msitools osslsigncode openssl"
missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq $missing >/dev/null
fi
