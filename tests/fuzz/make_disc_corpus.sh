#!/usr/bin/env bash
# Makes the disc fuzzer's seeds in tests/fuzz/disc_corpus: small images of every form that the
# disc layer reads, mastered with xorriso and genisoimage (tools/scripts/setup.sh installs
# them) and written in the other forms by tests/crclist/image_forms.py (raw sectors, MODE2/2336,
# Nero images), and sheets with their image after a zero byte (the fuzzer's input for a sheet;
# see disc_fuzzer.cpp). Run it again when the forms change.
#
#   tests/fuzz/make_disc_corpus.sh
set -euo pipefail
corpus=$(cd "$(dirname "$0")" && pwd)/disc_corpus
forms=$(cd "$(dirname "$0")/../crclist" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$corpus" "$work/src/データ" "$work/sjis/DDDDDD" "$work/rr/a/b/c/d/e/f/g/h/i"
printf display >"$work/src/データ/表示.DAT"
printf readme >"$work/src/README.TXT"
printf display >"$work/sjis/DDDDDD/HYOJ.DAT"
printf readme >"$work/sjis/README"
printf deep >"$work/rr/a/b/c/d/e/f/g/h/i/deep.txt"
printf long >"$work/rr/$(printf 'L%.0s' {1..70}).txt"
ln -s deep.txt "$work/rr/link.txt"

genisoimage -quiet -no-pad -J -o "$work/joliet.iso" "$work/src"
genisoimage -quiet -no-pad -o "$work/primary.iso" "$work/sjis"
genisoimage -quiet -no-pad -udf -J -o "$corpus/udf_bridge.iso" "$work/src"
xorriso -as mkisofs -quiet -no-pad -J -R -o "$corpus/rock_ridge_joliet.iso" "$work/rr" 2>/dev/null
cp "$work/joliet.iso" "$corpus/joliet.iso"

python3 - "$work" "$corpus" "$forms" <<'EOF'
import sys

work, corpus, forms = sys.argv[1:4]
sys.path.insert(0, forms)
from image_forms import cue, mode2_2336, msf, nero, raw  # noqa: E402

joliet = open(f"{work}/joliet.iso", "rb").read()
primary = open(f"{work}/primary.iso", "rb").read()
primary = primary.replace(b"DDDDDD", "データ".encode("cp932")).replace(b"HYOJ", "表示".encode("cp932"))
audio = b"\x55" * (20 * 2352)
mode1 = raw(joliet, 1, 2352)
seeds = {
    "primary_sjis.iso": primary,
    "mode1.bin": mode1,
    "mode2.bin": raw(joliet, 2, 2352),
    "sectors_2448.mdf": raw(joliet, 1, 2448),
    "mixed_mode_cue": b'FILE "Disc.IMG" BINARY\r\n  TRACK 01 MODE1/2352\r\n    INDEX 01 00:00:00\r\n'
    + b"  TRACK 02 AUDIO\r\n    INDEX 00 %s\r\n    INDEX 01 %s\r\n"
    % (msf(len(mode1) // 2352).encode(), msf(len(mode1) // 2352 + 2).encode())
    + b"\0" + mode1 + audio,
    "clonecd": b"[CloneCD]\r\nVersion=3\r\n[TRACK 1]\r\nMODE=2\r\nINDEX 1=0\r\n"
    + b"\0" + raw(joliet, 2, 2352),
    "cue_alone": b"FILE track.bin BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n",
    "mode2_2336_cue": cue("disc.img", "MODE2/2336").encode() + b"\0" + mode2_2336(joliet),
    # Nero images in both footer versions, disc-at-once and track-at-once; one with an audio
    # track after the data.
    "nrg_dao_1.nrg": nero(mode1, 2352, 0, 1, True),
    "nrg_dao_2.nrg": nero(joliet, 2048, 0, 2, True, audio_after=20),
    "nrg_tao_1.nrg": nero(joliet, 2048, 0, 1, False),
    "nrg_tao_2.nrg": nero(mode2_2336(joliet), 2336, 3, 2, False),
}
for name, data in seeds.items():
    open(f"{corpus}/{name}", "wb").write(data)
EOF
ls -l "$corpus"
