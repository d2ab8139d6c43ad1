#!/usr/bin/env python3
"""Proves that check_package.py catches the faults it is there for.

    test_check_package.py [ZIP]     (default build/win32/Sumwarden-*-win32.zip)

Each case rebuilds the good package in memory with one fault and expects exactly the
matching checks to fail; the good package must pass every check. Without a package the
cases are skipped.
"""

import glob
import io
import os
import struct
import sys
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)

import check_exe  # noqa: E402
import check_package  # noqa: E402

if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
    ZIP = sys.argv.pop(1)
    if not os.path.exists(ZIP):
        sys.exit(f"no package at {ZIP}")
else:
    found = sorted(glob.glob(os.path.join(ROOT, "build", "win32", "Sumwarden-*-win32.zip")))
    ZIP = found[-1] if found else os.path.join(ROOT, "build", "win32", "(no package)")


def cp932(text):
    return text.encode("cp932")


def edit(name, change):
    """A damage that changes one member's bytes."""
    def damage(members):
        members[name] = change(members[name])
    return damage


def drop(name):
    def damage(members):
        del members[name]
    return damage


def add(name, data):
    def damage(members):
        members[name] = data
    return damage


def machine_amd64(data):
    data = bytearray(data)
    struct.pack_into("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4,
                     check_exe.MACHINE_AMD64)
    return bytes(data)


def cut_from(marker):
    return lambda data: data[:data.index(marker)]


def without_section(header):
    """The sample without one section: its header and the lines up to the next one."""
    def change(data):
        start = data.index(header)
        end = data.find(b"\r\n[", start + len(header))
        return data[:start] + (data[end + 2:] if end >= 0 else b"")
    return change


PASSED_TEXT = cp932("CD/DVD内のファイルは正常であることが確認されました。")

# (what is damaged, how, the checks that must fail)
DAMAGES = [
    ("guide with LF line ends", edit("README.txt", lambda d: d.replace(b"\r\n", b"\n")),
     ["README.txt line ends"]),
    ("guide without its last line end", edit("README.txt", lambda d: d[:-2]),
     ["README.txt line ends"]),
    ("guide left in UTF-8", edit("README.txt", lambda d: d.decode("cp932").encode("utf-8")),
     ["README.txt encoding"]),
    ("guide without the English part", edit("README.txt", cut_from(b"\r\n-----")),
     ["README.txt content"]),
    ("guide with a stale message",
     edit("README.txt", lambda d: d.replace(PASSED_TEXT, cp932("CD/DVDは正常です。"))),
     ["README.txt messages"]),
    ("sample list with LF line ends",
     edit("sample/crclist.INF", lambda d: d.replace(b"\r\n", b"\n")), ["crclist.INF line ends"]),
    ("sample list without REG", edit("sample/crclist.INF", without_section(b"[REG]")),
     ["crclist.INF content"]),
    ("sample list with one DRIVEINFO",
     edit("sample/crclist.INF", without_section(b"[DRIVEINFO]")), ["crclist.INF content"]),
    ("sample list entry without its first comma",
     edit("sample/crclist.INF", lambda d: d.replace(b"SETUP.EXE, ", b"SETUP.EXE ")),
     ["crclist.INF content"]),
    ("64-bit crclist", edit("crclist.exe", machine_amd64), ["crclist.exe"]),
    ("64-bit program", edit("sumwarden.exe", machine_amd64), ["sumwarden.exe"]),
    ("crclist missing", drop("crclist.exe"), ["members"]),
    ("the UDF reader missing", drop("libudfread.dll"), ["members"]),
    ("a 64-bit UDF reader", edit("libudfread.dll", machine_amd64), ["libudfread.dll"]),
    ("the UDF reader without its licence", drop("libudfread/COPYING"), ["members"]),
    ("an extra file", add("debug.log", b"x"), ["members"]),
    ("the sample at the top", lambda m: m.update({"crclist.INF": m.pop("sample/crclist.INF")}),
     ["members"]),
    ("crclist with code page UTF-8",
     edit("crclist.exe", lambda d: d.replace(b">ja-JP<", b">UTF-8<")), ["crclist.exe"]),
]


def zip_of(members):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as package:
        for name, data in members.items():
            package.writestr(name, data)
    return out.getvalue()


@unittest.skipUnless(os.path.exists(ZIP), f"no package at {ZIP}")
class CheckPackageCatchesFaults(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with zipfile.ZipFile(ZIP) as package:
            cls.members = {e.filename: package.read(e) for e in package.infolist()
                           if not e.is_dir()}
        cls.texts = check_package.program_texts()

    def failing_checks(self, data):
        return sorted(name for name, passed, _ in check_package.run_checks(data, self.texts)
                      if not passed)

    def test_good_package_passes(self):
        self.assertEqual(self.failing_checks(zip_of(self.members)), [])

    def test_each_damage_fails_its_check(self):
        for what, damage, checks in DAMAGES:
            with self.subTest(what):
                members = dict(self.members)
                damage(members)
                self.assertEqual(self.failing_checks(zip_of(members)), sorted(checks))

    def test_not_a_zip_is_reported_not_raised(self):
        for data in (b"", b"PK\x03\x04 broken", zip_of(self.members)[:200]):
            with self.subTest(size=len(data)):
                results = check_package.run_checks(data, self.texts)
                self.assertFalse(all(passed for _, passed, _ in results))


if __name__ == "__main__":
    unittest.main()
