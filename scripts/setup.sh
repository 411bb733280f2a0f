#!/bin/sh
# Installs what the build and the tests need, only when something is missing.
set -e
packages="cmake g++ pkg-config libpq-dev libssl-dev g++-mingw-w64-x86-64-posix wine64 googletest util-linux libxml2-utils sqlite3 librsvg2-bin python3 wixl msitools osslsigncode openssl clang lld clang-format clang-tidy postgresql"
"$(dirname "$0")/install-missing.sh" $packages
