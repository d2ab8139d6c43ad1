#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and only those that are
# missing. apt-get update runs only when something has to be installed.
# Never install wine32: with it present the wine launcher picks the 32-bit loader, which
# this kind of machine cannot run.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    python3 locales wine64 fonts-wine xvfb xauth x11-utils imagemagick fonts-ipafont-gothic
    # crclist: command line, JSON, fast CRC-32 (ISA-L natively, zlib for Windows), disc images
    # (ISO 9660 and UDF), and the tools that master the tests' images
    libcli11-dev nlohmann-json3-dev libisal-dev libz-mingw-w64-dev libarchive-dev libudfread-dev
    xorriso genisoimage
    # the lint stage
    clang-format clang-tidy shellcheck shfmt
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
