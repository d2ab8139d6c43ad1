#!/usr/bin/env bash
# crclist.exe on disc images under wine64: an ISO that xorriso masters from a folder with
# Japanese names, every form of it that image_forms.py writes, a UDF bridge by genisoimage, and
# an image and a sheet with Japanese names. For each, crclist.exe make lists every file with the
# size and CRC that Python computes from the folder, in the same bytes as for the ISO and as the
# native crclist writes, and crclist.exe verify passes the image against that list.
#
#   tests/crclist/wine_images.sh [BUILD_DIR] [--env DIR]   (see wine_script.sh)
#
# The native crclist is $SUMWARDEN_NATIVE_CRCLIST, else that of build/native or build/release,
# when there is one: the win64 build makes none. Without it the lists are still checked
# against Python's sizes and CRCs, and against each other.
#
# The last line is "N passed, N failed"; the exit code is non-zero when a check failed.
set -uo pipefail
# shellcheck source=wine_script.sh
source "$(dirname "$0")/wine_script.sh" crclist-images "" "$@" || exit 1
work=$E2E_ROOT/images
rm -rf "$work"
mkdir -p "$work/src" "$work/forms"
cd "$work" || exit 1

native=${SUMWARDEN_NATIVE_CRCLIST:-}
for candidate in "$root/build/native/tools/crclist/crclist" "$root/build/release/tools/crclist/crclist"; do
    if [ -z "$native" ] && [ -x "$candidate" ]; then
        native=$candidate
    fi
done
echo "native crclist: ${native:-none}"

# The folder: Japanese names (表 ends in the byte 0x5C in Shift-JIS), a name with a space, an
# empty file, and a file over 4 MiB, which is read in pieces.
python3 - src <<'PY' || exit 1
import os, sys
files = {"SETUP.EXE": b"setup" * 1000, "データ/表示.DAT": bytes(range(256)) * 300,
         "データ/サブ/名前 空白.txt": b"space", "空.dat": b"", "大きい.bin": os.urandom(5 << 20)}
for name, content in files.items():
    path = os.path.join(sys.argv[1], *name.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(content)
PY

# Each file of a list's [CDFILES] as "name size CRC" in UTF-8, sorted; with no argument, each
# file of the folder src as a list must give it.
entries() {
    python3 - "$@" <<'PY'
import os, sys, zlib
lines = []
if len(sys.argv) > 1:
    text = open(sys.argv[1], "rb").read().decode("cp932")
    body = text.split("[CDFILES]\r\n", 1)[-1].split("\r\n\r\n")[0]
    for line in filter(None, body.split("\r\n")):
        name, size, crc = line.rsplit(", ", 2)
        lines.append("%s %s %s" % (name.strip("'"), size, crc))
else:
    for folder, _, names in os.walk("src"):
        for name in names:
            content = open(os.path.join(folder, name), "rb").read()
            listed = os.path.relpath(os.path.join(folder, name), "src").replace("/", "\\")
            lines.append("%s %d %08X" % (listed, len(content), zlib.crc32(content)))
print("\n".join(sorted(lines)))
PY
}
entries >expected.txt

master() {
    local status
    "$@" >/dev/null 2>&1
    status=$?
    [ "$status" = 0 ] || echo "$1 failed (tools/scripts/setup.sh installs it)" >&2
    return "$status"
}
master xorriso -as mkisofs -J -joliet-long --norock -input-charset UTF-8 -o forms/disc.iso src || exit 1
master genisoimage -udf -J -input-charset UTF-8 -o forms/disc-udf.iso src || exit 1
python3 "$root/tests/crclist/image_forms.py" forms/disc.iso forms >forms.txt || exit 1
# An image and a sheet with Japanese names; the sheet names its image in Shift-JIS, as a
# Windows tool writes it.
cp forms/disc-bin-cue.bin forms/ディスク.bin
sed 's/disc-bin-cue\.bin/ディスク.bin/' forms/disc-bin-cue.cue | iconv -f UTF-8 -t CP932 >forms/ディスク.cue
cp forms/disc-nrg-dao-1.nrg forms/イメージ.nrg
discs=(disc.iso disc-udf.iso ディスク.cue イメージ.nrg)
while read -r _ disc; do
    discs+=("$disc")
done <forms.txt

for disc in "${discs[@]}"; do
    image=$(e2e_winpath "$work/forms/$disc")
    e2e_wine "$exe" make -o - --title T --prompt P --disc "$image" >exe.INF 2>err.txt
    status=$?
    listed=$(entries exe.INF)
    if [ "$status" = 0 ] && [ "$listed" = "$(cat expected.txt)" ]; then
        check "$disc: crclist.exe make" ok
    else
        check "$disc: crclist.exe make: exit $status" failed "$(cat err.txt)$listed"
    fi
    if [ "$disc" = disc.iso ]; then
        cp exe.INF iso.INF
    elif cmp -s exe.INF iso.INF; then
        check "$disc: the ISO's list" ok
    else
        check "$disc: the ISO's list" failed "$(diff <(iconv -f CP932 iso.INF) <(iconv -f CP932 exe.INF))"
    fi
    if [ -n "$native" ]; then
        if "$native" make -o - --title T --prompt P --disc "forms/$disc" 2>&1 | cmp -s - exe.INF; then
            check "$disc: the native list" ok
        else
            check "$disc: the native list" failed
        fi
    fi
    out=$(e2e_wine "$exe" verify --quiet --disc "$image" "$(e2e_winpath "$work/exe.INF")" 2>&1)
    status=$?
    if [ "$status" = 0 ]; then
        check "$disc: crclist.exe verify" ok
    else
        check "$disc: crclist.exe verify: exit $status" failed "$out"
    fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
