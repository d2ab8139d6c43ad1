#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and only those that are
# missing. apt-get update runs only when something has to be installed.
# Never install wine32: with it present the wine launcher picks the 32-bit loader, which
# this kind of machine cannot run.
#
#   tools/scripts/setup.sh           everything, for every build and test
#   tools/scripts/setup.sh package   only what crclist's Debian package needs to be built
set -euo pipefail

# crclist with the host g++: command line, JSON, fast CRC-32 (ISA-L), UDF discs (libudfread;
# ISO 9660 is read by crclist's own code), and its package: the manual page (scdoc), the
# libraries it depends on (dpkg-shlibdeps, which CPack finds the program with file).
packages=(
    cmake ninja-build g++ libcli11-dev nlohmann-json3-dev libisal-dev zlib1g-dev
    libudfread-dev scdoc dpkg-dev file
)
case ${1:-} in
    package) ;;
    '')
        packages+=(
            clang libclang-rt-14-dev libgtest-dev
            g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
            binutils-mingw-w64-x86-64 python3 locales wine64 fonts-wine xvfb xauth x11-utils
            imagemagick fonts-ipafont-gothic
            # crclist.exe's zlib, the download of its libudfread's source, the tools that master
            # the tests' disc images
            libz-mingw-w64-dev curl xorriso genisoimage
            # an independent reader of the Nero images that the tests make
            libcdio-utils
            # the checks of crclist's completion and package
            bash-completion lintian
            # the lint stage
            clang-format clang-tidy shellcheck shfmt
        )
        ;;
    *)
        echo "usage: tools/scripts/setup.sh [package]" >&2
        exit 2
        ;;
esac

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

# Debian builds libudfread only natively, so crclist.exe compiles the files of its source
# package (third_party/libudfread/CMakeLists.txt). The tarball is the one that
# `apt-get source libudfread` gets on bookworm, checked by its hash; no deb-src entry needed.
udfread_source() {
    local dir name=libudfread_1.1.2.orig.tar.gz
    local sha256=2bf16726ac98d093156195bb049a663e07d3323e079c26912546f4e05c77bac5
    dir="$(dirname "$0")/../../third_party/libudfread/upstream"
    [ -f "$dir/src/udfread.c" ] && return 0
    local tarball
    tarball=$(mktemp)
    trap 'rm -f "$tarball"' RETURN
    echo "setup: fetching $name"
    curl -fsSL --retry 3 -o "$tarball" \
        "http://deb.debian.org/debian/pool/main/libu/libudfread/$name" ||
        curl -fsSL --retry 3 -o "$tarball" \
            "http://snapshot.debian.org/archive/debian/20250520T000000Z/pool/main/libu/libudfread/$name"
    echo "$sha256  $tarball" | sha256sum --quiet -c - || {
        echo "setup: $name does not have the expected contents" >&2
        return 1
    }
    rm -rf "$dir" && mkdir -p "$dir" && tar -xzf "$tarball" -C "$dir" --strip-components=1
}

if [ -z "${1:-}" ]; then
    udfread_source
fi
