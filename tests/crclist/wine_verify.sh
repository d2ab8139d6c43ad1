#!/usr/bin/env bash
# crclist.exe verify under wine64, as support and release engineers run it on Windows: a disc
# on the CD-ROM drive E:, and the installed files at the paths in a real key of Wine's registry,
# one value with a Japanese name and one value missing.
#
#   tests/crclist/wine_verify.sh [BUILD_DIR] [--env DIR]   (see wine_script.sh)
#
# The last line is "N passed, N failed"; the exit code is non-zero when a check failed.
set -uo pipefail
# shellcheck source=wine_script.sh
source "$(dirname "$0")/wine_script.sh" crclist-verify "e" "$@" || exit 1
title=$E2E_ROOT/title
rm -rf "$title"
key='Software\SumwardenTests\CrclistVerify'

# The title: a disc folder, an installation, the lists (Shift-JIS) and the key (UTF-16 .reg).
python3 - "$title" "$(e2e_winpath "$title")" "$key" <<'PY' || exit 1
import os, sys, zlib
title, wintitle, key = sys.argv[1:]
def write(path, content):
    path = os.path.join(title, *path.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(content)
def entry(name, content, crc=None):
    crc = zlib.crc32(content) if crc is None else crc
    return "'%s', %d, %08X" % (name, len(content), crc)
# Scene.dat is over 4 MiB: read in pieces, whose CRCs are joined.
disc = {"SETUP.EXE": b"setup" * 1000, "Data/Scene.dat": os.urandom(5 << 20),
        "表/ﾃｽﾄ.dat": b"test"}
for name, content in disc.items():
    write("disc/" + name, content)
installed = {"Game.exe": b"game" * 500, "セーブ/データ.dat": b"save"}
for name, content in installed.items():
    write("installed/" + name, content)
good = ["[GAME]", key, "[CDFILES]", entry("SETUP.EXE", disc["SETUP.EXE"]),
        entry("DATA\\SCENE.DAT", disc["Data/Scene.dat"]), entry("表\\ﾃｽﾄ.DAT", disc["表/ﾃｽﾄ.dat"]),
        "[REG]", entry("MainProgram", installed["Game.exe"]),
        entry("セーブデータ", installed["セーブ/データ.dat"])]
bad = ["[GAME]", key, "[CDFILES]", entry("SETUP.EXE", disc["SETUP.EXE"], 0x0BADC0DE),
       entry("DATA\\GONE.DAT", b"x"), "[REG]", entry("MainProgram", installed["Game.exe"]),
       entry("Uninstaller", b"x")]
for name, lines in (("good.INF", good), ("bad.INF", bad)):
    write(name, ("\r\n".join(lines) + "\r\n").encode("cp932"))
reg = ["Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\%s]" % key,
       '"MainProgram"="%s"' % (wintitle + "\\installed\\Game.exe").replace("\\", "\\\\"),
       '"セーブデータ"="%s"' % (wintitle + "\\installed\\セーブ\\データ.dat").replace("\\", "\\\\")]
write("title.reg", ("\r\n".join(reg) + "\r\n").encode("utf-16"))
PY
e2e_wine reg import "$(e2e_winpath "$title/title.reg")" >/dev/null 2>&1
e2e_drives_apply "e:cdrom:$title/disc"

# Runs crclist.exe verify in the title's folder: $1 the expected exit code, $2 a Python
# expression over the JSON document d that must hold, then the arguments.
verify_json() {
    local what=$1 code=$2 test=$3 out status
    shift 3
    out=$(cd "$title" && e2e_wine "$exe" verify --json "$@" 2>"$E2E_ROOT/stderr")
    status=$?
    if [ "$status" != "$code" ]; then
        check "$what: exit $status, expected $code" failed "$out$(cat "$E2E_ROOT/stderr")"
        return
    fi
    if printf '%s' "$out" | python3 -c "import json,sys; d=json.load(sys.stdin); sys.exit(0 if ($test) else 1)"; then
        check "$what" ok
    else
        check "$what" failed "$out"
    fi
}

statuses='[f["status"] for f in d["files"]]'
verify_json "the disc on E:" 0 \
    "$statuses == ['ok'] * 3 and d['files'][0]['path'] == 'E:\\\\SETUP.EXE' and
     d['files'][2]['name'] == '表\\\\ﾃｽﾄ.DAT' and d['summary']['bytes'] == 5247884 and
     d['reading'][0]['seeking'] and d['reading'][0]['streams'] == 1" \
    --disc E: good.INF
verify_json "the same folder on a drive that does not seek" 0 \
    "$statuses == ['ok'] * 3 and not d['reading'][0]['seeking'] and
     d['reading'][0]['streams'] >= 1" --disc "$(e2e_winpath "$title/disc")" good.INF
verify_json "the drive root E:\\" 0 "$statuses == ['ok'] * 3" --disc "E:\\" good.INF
verify_json "failures on E:" 1 \
    "$statuses == ['crc', 'missing'] and d['files'][0]['crc'] is not None" --disc E: bad.INF
verify_json "the installed files" 0 \
    "$statuses == ['ok', 'ok'] and d['files'][1]['name'] == 'セーブデータ' and
     d['files'][1]['path'].endswith('\\\\installed\\\\セーブ\\\\データ.dat') and
     d['files'][0]['check'] == 'installed' and 'group' not in d['files'][0]" \
    --installed good.INF
verify_json "a missing value" 1 \
    "$statuses == ['ok', 'no-value'] and d['files'][1]['path'] is None and
     d['summary']['no-value'] == 1" --installed bad.INF
# The same disc as an image, given by a path relative to the current folder.
if xorriso -as mkisofs -quiet -J -input-charset UTF-8 -o "$title/disc.iso" "$title/disc" >/dev/null 2>&1; then
    verify_json "an image of the disc" 0 \
        "$statuses == ['ok'] * 3 and d['files'][0]['path'].startswith('disc.iso')" \
        --disc disc.iso good.INF
else
    check "an image of the disc: xorriso (tools/scripts/setup.sh installs it)" failed
fi
verify_json "disc and installation in one run" 0 \
    "[f['check'] for f in d['files']] == ['disc'] * 3 + ['installed'] * 2" \
    --disc E: --installed good.INF

# Text output, and the usage errors that only Windows gives.
out=$(cd "$title" && e2e_wine "$exe" verify --disc E: --installed bad.INF 2>&1)
status=$?
if [ "$status" = 1 ] && printf '%s\n' "$out" | grep -q '^no-value    installed  Uninstaller' &&
    printf '%s\n' "$out" | grep -q '^4 files: 1 ok, 3 failed (1 missing, 0 size, 1 crc, 0 read-error, 1 no-value)$'; then
    check "text output" ok
else
    check "text output: exit $status" failed "$out"
fi
out=$(cd "$title" && e2e_wine "$exe" verify --disc E: --disc E: good.INF 2>&1)
status=$?
if [ "$status" = 2 ] && printf '%s' "$out" | grep -q 'the list has 1 disc group'; then
    check "the count of groups" ok
else
    check "the count of groups: exit $status" failed "$out"
fi

# The key goes again: a shared environment keeps its registry for the tests after this one.
e2e_wine reg delete "HKCU\\$key" /f >/dev/null 2>&1

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
