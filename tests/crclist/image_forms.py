#!/usr/bin/env python3
"""The forms in which image tools keep a disc, made from a plain ISO image, as the tests read
them: raw sectors (MODE1 or MODE2 form 1, 2352 bytes, or 2448 with subchannel data), MODE2
sectors of 2336 bytes, cue sheets, CloneCD's .ccd, Alcohol's .mds, and Nero images (.nrg) in
both footer versions, disc-at-once and track-at-once. EDC, ECC and subchannel data are left
zero: readers ignore them.

    image_forms.py ISO FOLDER       writes every form of ISO into FOLDER, each as disc-FORM.*

Each form's files are listed in FORMS below; the disc to give a reader is the first of them.
"""
import os
import struct
import sys

SECTOR = 2048
PREGAP = 150  # the two seconds before track 1


def bcd(value):
    return value // 10 * 16 + value % 10


def msf(sectors):
    return "%02d:%02d:%02d" % (sectors // 4500, sectors // 75 % 60, sectors % 75)


def raw(plain, mode, stride):
    """The 2048-byte sectors of `plain` as raw sectors of `stride` bytes: sync pattern,
    address, mode, MODE2's subheader, the data."""
    out = bytearray()
    for index in range(len(plain) // SECTOR):
        sector = bytearray(stride)
        sector[1:11] = b"\xff" * 10
        address = index + PREGAP
        sector[12:16] = bytes([bcd(address // 4500), bcd(address // 75 % 60), bcd(address % 75), mode])
        if mode == 2:
            sector[18] = sector[22] = 8  # submode: data, form 1
        at = 16 if mode == 1 else 24
        sector[at:at + SECTOR] = plain[index * SECTOR:(index + 1) * SECTOR]
        out += sector
    return bytes(out)


def mode2_2336(plain):
    """MODE2 sectors without their sync pattern and header: the subheader, then the data."""
    out = bytearray()
    for index in range(len(plain) // SECTOR):
        sector = bytearray(2336)
        sector[2] = sector[6] = 8
        sector[8:8 + SECTOR] = plain[index * SECTOR:(index + 1) * SECTOR]
        out += sector
    return bytes(out)


def chunk(name, data):
    return name + struct.pack(">I", len(data)) + data


def nero(track, sector_size, mode, version, dao, audio_after=0):
    """A Nero image of the data track `track` (sectors of `sector_size` bytes, Nero's `mode`:
    0 MODE1, 2 MODE2 form 1, 3 MODE2), followed by `audio_after` sectors of an audio track.
    A disc-at-once image holds the two seconds before track 1 as well, as Nero writes them:
    track 1's index 0 is where the file begins, its index 1 where its data does."""
    wide = version == 2
    pregap = b"\0" * (PREGAP * sector_size) if dao else b""
    audio = b"\0" * (audio_after * 2352)
    # Each track: where its index 0, its index 1 and its end lie in the file.
    data = len(pregap)
    tracks = [(0, data, data + len(track), sector_size, mode)]
    if audio_after:
        tracks.append((data + len(track), data + len(track), data + len(track) + len(audio), 2352, 7))
    chain = b""
    if dao:
        # The cue points: the lead-in, each track's index 0 and 1, the lead-out; then each
        # track's place in the file.
        # Version 2 gives them as sector numbers, version 1 as minutes, seconds and frames
        # from the start of the lead-in.
        def point(control, number, index, lsn):
            if wide:
                return struct.pack(">BBBBi", control, number, index, 0, lsn)
            at = lsn + PREGAP
            return struct.pack(">BBBBBBBB", control, number, index, 0, 0, at // 4500, at // 75 % 60, at % 75)

        points = [point(0x41, 0, 0, -PREGAP)]
        lsn = 0
        for number, (index0, index1, end, size, kind) in enumerate(tracks, 1):
            control = 0x01 if kind == 7 else 0x41
            points.append(point(control, bcd(number), 0, lsn - (index1 - index0) // size))
            points.append(point(control, bcd(number), 1, lsn))
            lsn += (end - index1) // size
        points.append(point(0x01, 0xAA, 1, lsn))
        chain += chunk(b"CUEX" if wide else b"CUES", b"".join(points))
        head = struct.pack("<I", 0) + b"\0" * 13 + bytes([0, 0, 0, 1, len(tracks)])
        entries = b""
        offset = ">QQQ" if wide else ">III"
        for index0, index1, end, size, kind in tracks:
            entries += b"\0" * 12 + struct.pack(">HB", size, kind) + b"\0" * 3
            entries += struct.pack(offset, index0, index1, end)
        data = head + entries
        data = struct.pack("<I", len(data)) + data[4:]
        chain += chunk(b"DAOX" if wide else b"DAOI", data)
    else:
        entries = b""
        lsn = 0
        for _, start, end, size, kind in tracks:
            if wide:
                entries += struct.pack(">QQIIQ", start, end - start, kind, lsn, 0)
            else:
                entries += struct.pack(">IIIII", start, end - start, kind, lsn, 0)
            lsn += (end - start) // size
        chain += chunk(b"ETN2" if wide else b"ETNF", entries)
    chain += chunk(b"SINF", struct.pack(">I", 1))
    chain += chunk(b"END!", b"")
    body = pregap + track + audio
    footer = b"NER5" + struct.pack(">Q", len(body)) if wide else b"NERO" + struct.pack(">I", len(body))
    return body + chain + footer


def cue(image, mode):
    return 'FILE "%s" BINARY\r\n  TRACK 01 %s\r\n    INDEX 01 00:00:00\r\n' % (image, mode)


def ccd():
    return ("[CloneCD]\r\nVersion=3\r\n[Disc]\r\nTocEntries=4\r\nSessions=1\r\n"
            "[TRACK 1]\r\nMODE=1\r\nINDEX 1=0\r\n")


def mds():
    return b"MEDIA DESCRIPTOR" + b"\1\5" + b"\0" * 70


def forms(plain):
    """Each form: its name and its files, the disc to give a reader first."""
    mode1 = raw(plain, 1, 2352)
    return {
        "bin-cue": [("disc-bin-cue.cue", cue("disc-bin-cue.bin", "MODE1/2352").encode()),
                    ("disc-bin-cue.bin", mode1)],
        "mode2-cue": [("disc-mode2-cue.cue", cue("disc-mode2-cue.bin", "MODE2/2352").encode()),
                      ("disc-mode2-cue.bin", raw(plain, 2, 2352))],
        "2336-cue": [("disc-2336-cue.cue", cue("disc-2336-cue.bin", "MODE2/2336").encode()),
                     ("disc-2336-cue.bin", mode2_2336(plain))],
        "ccd": [("disc-ccd.ccd", ccd().encode()), ("disc-ccd.img", mode1)],
        "mds": [("disc-mds.mds", mds()), ("disc-mds.mdf", raw(plain, 1, 2448))],
        "nrg-dao-2": [("disc-nrg-dao-2.nrg", nero(plain, 2048, 0, 2, True))],
        "nrg-dao-1": [("disc-nrg-dao-1.nrg", nero(mode1, 2352, 0, 1, True))],
        "nrg-tao-2": [("disc-nrg-tao-2.nrg", nero(plain, 2048, 0, 2, False))],
        "nrg-tao-1": [("disc-nrg-tao-1.nrg", nero(plain, 2048, 0, 1, False))],
        "nrg-2336": [("disc-nrg-2336.nrg", nero(mode2_2336(plain), 2336, 3, 2, True))],
        "nrg-mixed": [("disc-nrg-mixed.nrg", nero(plain, 2048, 0, 2, True, audio_after=300))],
    }


def main():
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(sys.argv[1], "rb") as f:
        plain = f.read()
    for name, files in forms(plain).items():
        for file, data in files:
            with open(os.path.join(sys.argv[2], file), "wb") as f:
                f.write(data)
        print(name, files[0][0])
    return 0


if __name__ == "__main__":
    sys.exit(main())
