#!/bin/sh
# Installs what is missing, builds in Release (into build-release, or
# BUILD_DIR) and writes dist/: the stripped DLL and programs with their
# symbols files, the administrative template, the sample settings and the
# MSI. With SIGN_CERT and SIGN_KEY (PEM files) set, the binaries and the MSI
# are signed.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
BUILD_DIR="${BUILD_DIR:-$root/build-release}" BUILD_TYPE=Release "$root/scripts/build.sh" --target dist
