#!/usr/bin/env bash
# tests/package/install_deb.sh DEB: installs crclist's package DEB with apt as a user would,
# checks that its manual page and completion are found and that the installed crclist runs,
# and removes it and the packages that apt brought in for it, leaving the machine as it was.
# Run as root.
# Where crclist is installed already, nothing is done: that install is not ours to remove.
set -euo pipefail
deb=$(realpath "$1")
version=$(dpkg-deb -f "$deb" Version)
fail() {
    echo "install_deb: $*" >&2
    exit 1
}
if dpkg-query -W -f='${Status}' crclist 2>/dev/null | grep -q 'ok installed'; then
    echo "install_deb: crclist is installed already; its install is left as it is, unchecked"
    exit 0
fi

# What apt installs: crclist, and the libraries it depends on that are missing here. Only
# these are removed afterwards, so nothing that anyone else installs meanwhile is touched.
apt=(apt-get -y -qq -o DPkg::Lock::Timeout=300)
mapfile -t added < <("${apt[@]}" --simulate install "$deb" | sed -n 's/^Inst \([^ ]*\) .*/\1/p')
[[ " ${added[*]} " == *" crclist "* ]] || fail "apt would not install $deb"
remove() {
    "${apt[@]}" purge "${added[@]}" >/dev/null
}
trap remove EXIT
export DEBIAN_FRONTEND=noninteractive
"${apt[@]}" install "$deb" >/dev/null

man -w crclist || fail "man finds no page crclist"
[ "$(crclist --version)" = "crclist $version" ] || fail "the installed crclist does not run"
# bash-completion loads a command's completion when it is first completed.
bash -c 'source /usr/share/bash-completion/bash_completion && __load_completion crclist &&
    complete -p crclist' || fail "bash-completion does not find crclist's completion"
echo "install_deb: crclist $version installs with its manual page and completion, and runs"
