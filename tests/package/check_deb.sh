#!/usr/bin/env bash
# tests/package/check_deb.sh DEB VERSION: the Debian package of crclist, checked without
# installing it: its control fields and files, lintian, and the unpacked crclist at work on a
# small title.
set -euo pipefail
deb=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "check_deb: $*" >&2
    exit 1
}

# Each field of the control file matches its pattern. The libc6 with a version shows that
# dpkg-shlibdeps ran; libudfread0 reads UDF discs.
control=$(dpkg-deb -I "$deb" control)
while IFS='|' read -r field pattern; do
    value=$(sed -n "s/^$field: //p" <<<"$control")
    [[ $value =~ $pattern ]] || fail "$field is '$value', which does not match /$pattern/"
done <<EOF_FIELDS
Package|^crclist$
Version|^${version//./\\.}$
Architecture|^$(dpkg --print-architecture)$
Maintainer|^Sumwarden project
Section|^utils$
Depends|(^|, )libc6 \(>= [^)]+\)(,|$)
Depends|(^|, )libudfread0( |,|$)
Description|^verify game discs
EOF_FIELDS

# The files, with their modes and owners, and nothing else.
diff -u --label expected - --label "dpkg-deb -c" <(dpkg-deb -c "$deb" |
    awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort) <<'EOF_FILES' || fail "the files differ"
-rw-r--r-- root/root ./usr/share/bash-completion/completions/crclist
-rw-r--r-- root/root ./usr/share/doc/crclist/README
-rw-r--r-- root/root ./usr/share/doc/crclist/copyright
-rw-r--r-- root/root ./usr/share/man/man1/crclist.1.gz
-rwxr-xr-x root/root ./usr/bin/crclist
EOF_FILES

# lintian, less what follows from the project having, as yet, no contact address, no release
# notes, and a copyright statement without a year: the Maintainer field without an address
# (malformed-contact), no changelog.gz (no-changelog, as a Debian changelog needs an address),
# copyright-without-copyright-notice (lintian wants a year).
lintian --fail-on error,warning --tag-display-limit 0 \
    --suppress-tags malformed-contact,no-changelog,copyright-without-copyright-notice "$deb" ||
    fail "lintian found the above"

# The program as unpacked: its version, and a list made of a small title verifies it.
dpkg-deb -x "$deb" "$work/root"
crclist=$work/root/usr/bin/crclist
[ "$("$crclist" --version)" = "crclist $version" ] || fail "crclist --version: $("$crclist" --version)"
mkdir -p "$work/disc1/DATA"
echo "Read me first." >"$work/disc1/README.TXT"
head -c 100000 /dev/zero >"$work/disc1/DATA/SCENE.DAT"
"$crclist" make -o "$work/crclist.INF" --title Sample --disc "$work/disc1" \
    --prompt 'Insert disc 1.' || fail "crclist make failed"
report=$("$crclist" verify --quiet --disc "$work/disc1" "$work/crclist.INF") ||
    fail "crclist verify failed: $report"
grep -q '^2 files: 2 ok, 0 failed' <<<"$report" || fail "crclist verify reported: $report"
echo "check_deb: $deb is sound"
