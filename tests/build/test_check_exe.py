#!/usr/bin/env python3
"""Proves that check_exe.py catches the faults it is there for.

    test_check_exe.py [I686_EXE]     (or SUMWARDEN_EXE=... test_check_exe.py)

Each case damages one property of a good program file (the default is the release build
build/win32/app/sumwarden.exe) in a copy in memory and expects exactly the matching check to
fail; the undamaged file must pass every check. Without a program file the cases that need
one are skipped; the icon case runs anyway.
"""

import os
import struct
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)

import check_exe  # noqa: E402

if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
    EXE = sys.argv.pop(1)
    if not os.path.exists(EXE):
        sys.exit(f"no program file at {EXE}")
else:
    EXE = os.environ.get("SUMWARDEN_EXE",
                         os.path.join(ROOT, "build", "win32", "app", "sumwarden.exe"))


def utf16(text):
    return text.encode("utf-16-le")


def pe_header(data):
    return struct.unpack_from("<I", data, 0x3C)[0]


def set_machine(data):
    struct.pack_into("<H", data, pe_header(data) + 4, check_exe.MACHINE_AMD64)


def set_console(data):
    struct.pack_into("<H", data, pe_header(data) + 24 + 68, 3)


def replace_once(old, new):
    """A damage that swaps one byte string for another of the same length."""
    assert len(old) == len(new)

    def damage(data):
        at = bytes(data).find(old)
        assert at >= 0, f"{old!r} not found in the program file"
        data[at:at + len(old)] = new
    return damage


def bump_file_version(data):
    at = bytes(data).find(struct.pack("<I", 0xFEEF04BD))
    assert at >= 0
    struct.pack_into("<I", data, at + 12, 2)  # dwFileVersionLS: 1.0.0.2


# The progress bar as stored: its style and position (10, 50).
PROGRESS_BAR = struct.pack("<Ihh", 0x50800000, 10, 50)
SMOOTH_BAR = struct.pack("<Ihh", 0x50800001, 10, 50)
# The first entry of the icon group: 32 x 32, 16 colours.
ICON_ENTRY = bytes([32, 32, 16, 0])

# (what is damaged, how, the check that must fail)
DAMAGES = [
    ("64-bit machine", set_machine, "format"),
    ("console subsystem", set_console, "subsystem"),
    ("compiler runtime DLL", replace_once(b"msvcrt.dll\0", b"libgcc_s.d\0"), "dlls"),
    ("wide user32 function", replace_once(b"SetWindowTextA\0", b"SetWindowTextW\0"), "ansi"),
    ("Stop button text", replace_once(utf16("停止"), utf16("中止")), "dialog 102"),
    ("smooth progress bar", replace_once(PROGRESS_BAR, SMOOTH_BAR), "dialog 102"),
    ("full-width drive label",
     replace_once(utf16("ﾄﾞﾗｲﾌﾞ"), utf16("ドライブ") + utf16("  ")), "dialog 101"),
    ("sorted drive list",
     replace_once(struct.pack("<Ihh", 0x50210003, 76, 73), struct.pack("<Ihh", 0x50210103, 76, 73)),
     "dialog 101"),
    ("dialog font", replace_once(utf16("ＭＳ Ｐゴシック"), utf16("ＭＳ ゴシック ")), "dialog 101"),
    ("256-colour icon", replace_once(ICON_ENTRY, bytes([32, 32, 0, 0])), "icon"),
    ("file version", bump_file_version, "version"),
    ("translation", replace_once(struct.pack("<HH", 0x411, 932), struct.pack("<HH", 0x409, 1252)),
     "version"),
    ("UTF-8 as the code page", replace_once(b">ja-JP<", b">UTF-8<"), "manifest"),
]


@unittest.skipUnless(os.path.exists(EXE), f"no program file at {EXE}")
class CheckExeCatchesFaults(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(EXE, "rb") as f:
            cls.data = f.read()

    def failing_checks(self, data):
        return sorted(name for name, passed, _ in check_exe.run_checks(bytes(data)) if not passed)

    def test_good_file_passes(self):
        self.assertEqual(self.failing_checks(self.data), [])

    def test_each_damage_fails_its_check(self):
        for what, damage, check in DAMAGES:
            with self.subTest(what):
                data = bytearray(self.data)
                damage(data)
                self.assertEqual(self.failing_checks(data), [check])

    def test_truncated_file_is_reported_not_raised(self):
        for size in (0, 64, 400):
            with self.subTest(size=size):
                results = check_exe.run_checks(self.data[:size])
                self.assertFalse(all(passed for _, passed, _ in results))


MANIFEST = os.path.join(ROOT, "resources", "sumwarden.manifest")
COMMON_CONTROLS = ('<dependency><dependentAssembly><assemblyIdentity type="win32" '
                   'name="Microsoft.Windows.Common-Controls" version="6.0.0.0" '
                   'publicKeyToken="6595b64144ccf1df" language="*"/></dependentAssembly>'
                   '</dependency>')
DPI_AWARE = ('<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true'
             '</dpiAware>')
# (what is wrong, the replacements that make it so, what the check must say)
MANIFEST_FAULTS = [
    ("another code page", [(">ja-JP<", ">UTF-8<")], "activeCodePage 'UTF-8', expected 'ja-JP'"),
    ("code page in the 2005 namespace", [("SMI/2019", "SMI/2005")],
     "no application/windowsSettings/activeCodePage"),
    ("elevation", [('"asInvoker"', '"requireAdministrator"')],
     "execution level 'requireAdministrator'"),
    ("no execution level", [("<trustInfo", "<!--<trustInfo"), ("</trustInfo>", "</trustInfo>-->")],
     "no trustInfo in"),
    ("common controls 6", [("<trustInfo", COMMON_CONTROLS + "<trustInfo")],
     "unexpected dependency"),
    ("DPI awareness", [("<activeCodePage", DPI_AWARE + "<activeCodePage")], "unexpected dpiAware"),
    ("not XML", [("</assembly>", "")], "not XML"),
]


class ManifestCheck(unittest.TestCase):
    """The manifest's own check, on the committed manifest: any program that links it passes."""

    @classmethod
    def setUpClass(cls):
        with open(MANIFEST, encoding="utf-8") as f:
            cls.text = f.read()

    @staticmethod
    def problems(text):
        return check_exe.manifest_problems(
            {(check_exe.RT_MANIFEST, 1): {0: text.encode("utf-8")}})

    def test_committed_manifest_passes(self):
        self.assertEqual(self.problems(self.text), [])

    def test_each_fault_is_named(self):
        for what, replacements, said in MANIFEST_FAULTS:
            with self.subTest(what):
                text = self.text
                for old, new in replacements:
                    self.assertIn(old, text)
                    text = text.replace(old, new, 1)
                problems = self.problems(text)
                self.assertTrue(any(said in p for p in problems), problems)

    def test_manifest_is_resource_1_alone(self):
        data = self.text.encode("utf-8")
        for resources in ({}, {(check_exe.RT_MANIFEST, 2): {0: data}},
                          {(check_exe.RT_MANIFEST, 1): {0: data, 0x411: data}}):
            with self.subTest(resources=list(resources)):
                self.assertNotEqual(check_exe.manifest_problems(resources), [])


class IconMatchesItsGenerator(unittest.TestCase):
    def test_committed_icon_is_what_the_script_draws(self):
        result = subprocess.run(
            [sys.executable, os.path.join(ROOT, "tools", "scripts", "make_icon.py"), "--check",
             os.path.join(ROOT, "resources", "sumwarden.ico")],
            capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)


if __name__ == "__main__":
    unittest.main()
