#!/usr/bin/env bash
# crclist.exe on a title whose files, folders, registry key and value names are Japanese, run
# the same way in whatever Wine environment it is given: make, lint, dump, verify of the disc
# on E: and of the installed files on I:. It runs them twice, with crclist.exe and with a copy
# whose manifest asks for code page 1252 (as Windows 10 outside Japan runs it): both must give
# the same bytes, but for --installed, which the copy must refuse. The transcript of the run
# (exit codes, stdout and stderr, timings taken out) is written to FILE, and when --same-as
# names the transcript of a run in another locale, the two must be the same bytes.
#
#   tests/crclist/wine_any_locale.sh [BUILD_DIR] [--env DIR] --transcript FILE [--same-as FILE]
#
# The last line is "N passed, N failed"; the exit code is non-zero when a check failed.
set -uo pipefail
transcript=
same_as=
args=()
while [ $# -gt 0 ]; do
    case $1 in
        --transcript)
            transcript=$2
            shift
            ;;
        --same-as)
            same_as=$2
            shift
            ;;
        *) args+=("$1") ;;
    esac
    shift
done
[ -n "$transcript" ] || exit 2
# shellcheck source=wine_script.sh
source "$(dirname "$0")/wine_script.sh" crclist-any-locale "e" "${args[@]}" || exit 2
title=$E2E_ROOT/any-locale
rm -rf "$title"
key='Software\SumwardenTests\ソフト表示'

# The title: the disc, the installation and the key (a UTF-16 .reg keeps Japanese names).
python3 - "$title" "$key" <<'PY' || exit 2
import os, sys
title, key = sys.argv[1:]
def write(path, content):
    path = os.path.join(title, *path.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(content)
# 表 and ソ end in the byte 0x5C in Shift-JIS; ﾃｽﾄ is half-width.
write("disc/SETUP.EXE", b"setup" * 1000)
write("disc/データ/表示.DAT", bytes(range(256)) * 300)
write("disc/表/ﾃｽﾄ.dat", b"test")
write("installed/ゲーム/本体.exe", b"game" * 500)
write("installed/セーブ/データ.dat", b"save")
reg = ["Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\%s]" % key,
       '"本体"="I:\\\\ゲーム\\\\本体.exe"', '"セーブデータ"="I:\\\\セーブ\\\\データ.dat"']
write("title.reg", ("\r\n".join(reg) + "\r\n").encode("utf-16"))
PY
e2e_wine reg import "$(e2e_winpath "$title/title.reg")" >/dev/null 2>&1
e2e_drives_apply "e:cdrom:$title/disc i:hd:$title/installed"

# The same program asking for code page 1252 instead of 932.
western=$title/crclist-1252.exe
python3 - "$exe" "$western" <<'PY' || exit 2
import sys
data = open(sys.argv[1], "rb").read()
if data.count(b">ja-JP<") != 1:
    sys.exit("crclist.exe has no manifest asking for ja-JP")
open(sys.argv[2], "wb").write(data.replace(b">ja-JP<", b">en-US<"))
PY
# The DLLs that crclist.exe loads from its own folder (libudfread) go beside the copy too.
cp "$(dirname "$exe")"/*.dll "$title/" || exit 2

# run EXE OUT LABEL ARGS...: runs EXE in the title's folder and appends what it did to OUT,
# the timings of verify's reports taken out.
run() {
    local program=$1 out=$2 label=$3 status
    shift 3
    (cd "$title" && e2e_wine "$program" "$@" >"$title/stdout" 2>"$title/stderr")
    status=$?
    {
        echo "== $label: exit $status"
        # The speed is left out of a run too short to time.
        sed -E 's/ in [0-9.]+ s(, ([0-9.]+|under 0\.1) MB\/s)?$/ in S s, R/; s/"seconds": [0-9.e+-]+, "mbPerSecond": [0-9.e+-]+/"seconds": S, "mbPerSecond": R/' "$title/stdout"
        echo "-- stderr"
        cat "$title/stderr"
    } >>"$out"
}

# Every command but --installed, with one program; the list it makes is part of the record.
commands() {
    local program=$1 out=$2
    rm -f "$title/made.INF"
    run "$program" "$out" make make -o made.INF --title 'タイトル' --game "$key" \
        --message 'ディスクの中身を調べます' --disc E: --prompt 'ディスクを入れてください' \
        --installed '本体=I:\ゲーム\本体.exe' --installed 'セーブデータ=I:\セーブ\データ.dat'
    echo "-- made.INF: $(sha256sum <"$title/made.INF")" >>"$out"
    run "$program" "$out" lint lint made.INF
    run "$program" "$out" dump dump made.INF
    run "$program" "$out" "verify the disc" verify --verbose --disc E: made.INF
    run "$program" "$out" "verify a name not on the disc" verify --disc 'I:\ゲーム' made.INF
}

: >"$transcript"
commands "$exe" "$transcript"
cp "$transcript" "$title/common.txt"
run "$exe" "$transcript" "verify the installation" verify --json --installed made.INF
for expected in "make: exit 0" "lint: exit 0" "verify the disc: exit 0" \
    "verify a name not on the disc: exit 1" "verify the installation: exit 0"; do
    if grep -qx "== $expected" "$transcript"; then
        check "$expected" ok
    else
        check "$expected" failed "$(cat "$transcript")"
    fi
done
if grep -q '"name": "表\\\\ﾃｽﾄ.dat"' "$transcript" && grep -q 'I:\\\\セーブ\\\\データ.dat' "$transcript"; then
    check "Japanese names in the output" ok
else
    check "Japanese names in the output" failed "$(cat "$transcript")"
fi

western_out=$title/western.txt
: >"$western_out"
commands "$western" "$western_out"
if cmp -s "$title/common.txt" "$western_out"; then
    check "code page 1252 gives the same bytes" ok
else
    check "code page 1252 gives the same bytes" failed "$(diff "$title/common.txt" "$western_out")"
fi
refusal=$(cd "$title" && e2e_wine "$western" verify --installed made.INF 2>&1)
status=$?
if [ "$status" = 2 ] && printf '%s' "$refusal" | grep -q 'code page 1252, not 932'; then
    check "--installed refused in code page 1252" ok
else
    check "--installed refused in code page 1252: exit $status" failed "$refusal"
fi

if [ -n "$same_as" ]; then
    if [ ! -f "$same_as" ]; then
        check "a transcript to compare with: $same_as" failed
    elif cmp -s "$same_as" "$transcript"; then
        check "the same bytes as in $(basename "$same_as")" ok
    else
        check "the same bytes as in $(basename "$same_as")" failed \
            "$(diff "$same_as" "$transcript")"
    fi
fi

e2e_wine reg delete "HKCU\\$key" /f >/dev/null 2>&1
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
