#!/usr/bin/env bash
# Builds crclist's Debian package on a Debian machine, from nothing: installs what the build
# needs (tools/scripts/setup.sh package), builds the release preset (optimised, without the
# tests) and its package, and prints where it is. Then:
#
#   sudo apt install ./build/release/crclist_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/scripts/setup.sh package
cmake --preset release >/dev/null
# The package target builds the program first. CPack names the package it made.
cmake --build --preset release --target package | tee build/release/package.log
deb=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' build/release/package.log)
[ -n "$deb" ] || exit 1
echo
echo "crclist's package: $deb"
echo "install it with: sudo apt install $(realpath --relative-to=. "$deb" | sed 's|^|./|')"
