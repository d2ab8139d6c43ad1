#!/usr/bin/env bash
# crclist.exe under Wine: make, lint and update on lists and files in a private Wine prefix, in
# the Japanese locale (ANSI code page 932), with Japanese file names and texts. Compares exit
# codes, outputs and the lists' bytes; ends with "N passed, N failed".
#
#   tests/crclist/wine_lists.sh [BUILD_DIR] [--env DIR]   (see wine_script.sh)
set -uo pipefail
# shellcheck source=wine_script.sh
source "$(dirname "$0")/wine_script.sh" crclist "" "$@" || exit 2
work=$E2E_ROOT/lists
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 2

passed=0
failed=0
# check NAME CONDITION...: one result line per check.
check() {
    local name=$1
    shift
    if "$@"; then
        echo "PASS $name"
        passed=$((passed + 1))
    else
        echo "FAIL $name"
        failed=$((failed + 1))
    fi
}

# Runs crclist.exe with the arguments; its output goes to out.txt, its exit code to $status.
status=0
crclist() {
    e2e_wine "$exe" "$@" >out.txt 2>err.txt
    status=$?
}
winpath() { e2e_winpath "$work/$1"; }
sjis() { iconv -f UTF-8 -t CP932; }
crc() { python3 -c 'import sys, zlib; print("%08X" % zlib.crc32(open(sys.argv[1], "rb").read()))' "$1"; }
size() { stat -c %s "$1"; }

mkdir -p disc1/データ disc2/音声 inst
printf 'setup' >disc1/セットアップ.exe
printf 'scene data' >disc1/データ/背景.dat
printf 'voice' >"disc2/音声/台詞 1.dat"
printf 'main program' >inst/main.bin

# The list that make must write, from the files as they are now.
expected_list() {
    {
        printf "[TITLE]\r\n'テスト タイトル'\r\n\r\n[GAME]\r\nSoftware\\\\E2ESumwarden\\\\Title\r\n\r\n"
        printf "[DRIVEINFO]\r\nディスク1を入れてください。\r\n\r\n[DRIVEINFO]\r\nディスク2\r\n\r\n"
        printf "[CDFILES]\r\nセットアップ.exe, %s, %s\r\n" "$(size disc1/セットアップ.exe)" "$(crc disc1/セットアップ.exe)"
        printf "データ\\\\背景.dat, %s, %s\r\n\r\n" "$(size disc1/データ/背景.dat)" "$(crc disc1/データ/背景.dat)"
        printf "[CDFILES]\r\n'音声\\\\台詞 1.dat', %s, %s\r\n\r\n" "$(size "disc2/音声/台詞 1.dat")" "$(crc "disc2/音声/台詞 1.dat")"
        printf "[REG]\r\n本体, %s, %s\r\n" "$(size inst/main.bin)" "$(crc inst/main.bin)"
    } | sjis
}

make_args=(make -o "$(winpath crclist.INF)" --title "テスト タイトル" --game 'Software\E2ESumwarden\Title')
make_args+=(--disc "$(winpath disc1)" --prompt "ディスク1を入れてください。")
make_args+=(--disc "$(winpath disc2)" --prompt "ディスク2")
make_args+=(--installed "本体=$(winpath inst/main.bin)")
crclist "${make_args[@]}"
expected_list >expected.INF
check "make writes the list" test "$status" -eq 0
check "make: Japanese names and texts in Shift-JIS" cmp -s crclist.INF expected.INF
crclist lint "$(winpath crclist.INF)"
check "lint passes what make wrote" test "$status" -eq 0 -a "$(tail -n 1 out.txt)" = "0 errors, 0 warnings"
crclist dump "$(winpath crclist.INF)"
check "dump reads the names back" grep -q '"name": "データ\\\\背景.dat"' out.txt

cp crclist.INF kept.INF
crclist "${make_args[@]}"
check "make keeps an existing list" test "$status" -eq 1 -a -z "$(cmp crclist.INF kept.INF)"
check "make says why" grep -q 'exists; give --force' err.txt
printf 'changed scene data' >disc1/データ/背景.dat
crclist "${make_args[@]}" --force
expected_list >expected.INF
check "make --force replaces it" cmp -s crclist.INF expected.INF
check "make leaves no temporary file" test "$(ls)" = "$(printf '%s\n' crclist.INF disc1 disc2 err.txt expected.INF inst kept.INF out.txt)"

# Where a list goes: a device is written into, a link is followed and stays, a folder is refused.
crclist make -o NUL --title T
check "make -o NUL writes into the device" test "$status" -eq 0 -a ! -e NUL -a ! -e nul
ln -s crclist.INF link.INF
crclist "${make_args[@]/crclist.INF/link.INF}" --force
check "make -o LINK replaces the file it leads to" test "$status" -eq 0 -a -L link.INF
check "the file holds the list" cmp -s crclist.INF expected.INF
rm link.INF
crclist make -o "$(winpath disc1)" --title T
check "make -o FOLDER is refused" test "$status" -eq 2 -a -n "$(grep 'is a folder' err.txt)"
e2e_wine "$exe" lint - <crclist.INF >out.txt 2>err.txt
check "lint - reads standard input" test "$?" -eq 0 -a "$(tail -n 1 out.txt)" = "0 errors, 0 warnings"

# update: one number changed, every other byte kept, one line printed.
printf 'new voice' >"disc2/音声/台詞 1.dat"
crclist update "$(winpath crclist.INF)" --disc "$(winpath disc1)" --disc "$(winpath disc2)"
expected_list >expected.INF
check "update rewrites the changed numbers" test "$status" -eq 0
check "update keeps the other bytes" cmp -s crclist.INF expected.INF
check "update prints one line per change" test "$(wc -l <out.txt)" -eq 1
check "update names the entry" grep -q '音声\\台詞 1.dat: size 5 -> 9, crc' out.txt
rm disc1/セットアップ.exe
cp crclist.INF kept.INF
crclist update "$(winpath crclist.INF)" --disc "$(winpath disc1)" --disc "$(winpath disc2)"
check "update refuses a missing file" test "$status" -eq 1 -a -z "$(cmp crclist.INF kept.INF)"
: >master.iso
crclist make -o "$(winpath image.INF)" --title T --disc "$(winpath master.iso)" --prompt P
check "make: an empty image is refused" test "$status" -eq 2 -a ! -e image.INF -a -n "$(grep 'master.iso' err.txt)"

# lint on lists with faults: the codes and places, and the exit codes.
printf "[TITLE]\r\n'テスト'\r\n[DRIVEINFO]\r\n[CDFILES]\r\nSET UP.EXE, 1, 2\r\n" | sjis >bad.INF
crclist lint "$(winpath bad.INF)"
check "lint finds a syntax error" test "$status" -eq 1
check "lint tells where" grep -q '^Z:.*bad.INF:5:5: error: expected .,. after the name .SET. in \[CDFILES\]' out.txt
check "lint counts" test "$(tail -n 1 out.txt)" = "1 errors, 0 warnings"
printf "[TITLE]\r\nMy Game\r\n" >warn.INF
crclist lint "$(winpath warn.INF)"
check "lint: warnings alone pass" test "$status" -eq 0 -a "$(tail -n 1 out.txt)" = "0 errors, 1 warnings"
crclist lint --strict "$(winpath warn.INF)"
check "lint --strict fails on warnings" test "$status" -eq 1
crclist lint "$(winpath missing.INF)"
check "lint: an unreadable file is exit 2" test "$status" -eq 2

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
