#!/usr/bin/env python3
"""Checks the release package: its members, the two programs and the two texts.

    check_package.py ZIP

ZIP is the package that the win32 build's package target makes
(build/win32/Sumwarden-<version>-win32.zip). Every check prints one line, "ok: ..." or
"FAIL: ..."; the exit code is 1 when any check failed.

The texts are for a Japanese Windows: Shift-JIS (code page 932) with CR LF line ends. The
guide must name the exit codes, have an English part after the Japanese one, and quote the
program's messages as resources/texts.h has them. The sample check list must be a small
well-formed list with every kind of section. The standard library is all it needs.
"""

import io
import os
import re
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)

import check_exe  # noqa: E402

PROGRAM = "sumwarden.exe"
TOOL = "crclist.exe"
UDF_LIBRARY = "libudfread.dll"
UDF_LICENCE = "libudfread/COPYING"
GUIDE = "README.txt"
SAMPLE = "sample/crclist.INF"
MEMBERS = {PROGRAM, TOOL, UDF_LIBRARY, UDF_LICENCE, GUIDE, SAMPLE}
SUBSYSTEM_WINDOWS_CUI = 3
IMAGE_FILE_DLL = 0x2000
# What crclist.exe loads beside the system's DLLs: the command line's wide arguments, and the
# UDF reader that ships with it.
TOOL_DLLS = ("shell32.dll", UDF_LIBRARY)

TEXTS_HEADER = os.path.join(ROOT, "resources", "texts.h")
# The messages the guide explains; a multi-line one is looked for line by line.
GUIDE_MESSAGES = (
    "kDiscCheckPassed", "kInstalledCheckPassed", "kOpenFailed", "kSizeMismatch",
    "kDiscFileFailed", "kInstalledFileBroken", "kUnreadableEntry", "kInfReadFailed",
    "kInvalidToken", "kNoDriveInfo", "kTooFewDriveInfo", "kGameNotInstalled",
    "kGameInstalled", "kCheckInstalledToo",
)
# The English part begins at a line of dashes.
ENGLISH_SEPARATOR = re.compile(r"^-{10,}$", re.MULTILINE)
JAPANESE = re.compile(r"[\u3040-\u30ff\u4e00-\u9fff]")

# The sample's sections and how many of each; every kind that a title's list can have.
SAMPLE_SECTIONS = {"TITLE": 1, "GAME": 1, "MESSAGE": 1, "DRIVEINFO": 2, "CDFILES": 2, "REG": 1}
QUOTED_LINE = re.compile(r"^'[^']*'$")
# name, decimal size, CRC-32 in hexadecimal with an optional 0x.
ENTRY_LINE = re.compile(r"^[A-Za-z0-9_][^,]*,\s*\d+\s*,\s*(0[xX])?[0-9A-Fa-f]{1,8}$")
KEY_LINE = re.compile(r"^[A-Za-z0-9_][A-Za-z0-9_.\\]*$")


def program_texts(path=TEXTS_HEADER):
    """{name: text} of the narrow literals in texts.h, C escapes undone."""
    with open(path, encoding="utf-8") as f:
        source = f.read()
    texts = {}
    for name, literal in re.findall(r'constexpr char (k\w+)\[\] =\s*"((?:[^"\\]|\\.)*)";',
                                    source):
        texts[name] = re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m[1], m[1]),
                             literal)
    return texts


def decode_cp932(data):
    """(text, problems). Shift-JIS that happens to be valid UTF-8 is all but impossible for
    Japanese text, so text that decodes as UTF-8 was left unconverted."""
    problems = []
    if data.startswith(b"\xef\xbb\xbf"):
        problems.append("starts with a UTF-8 byte-order mark")
    if any(b >= 0x80 for b in data):
        try:
            data.decode("utf-8")
            problems.append("is UTF-8, not Shift-JIS")
        except UnicodeDecodeError:
            pass
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as error:
        return None, problems + [f"not code page 932 at byte {error.start}"]
    return (None if problems else text), problems


def line_end_problems(data):
    problems = []
    if not data:
        return ["empty"]
    bare_lf = len(re.findall(rb"(?<!\r)\n", data))
    bare_cr = len(re.findall(rb"\r(?!\n)", data))
    if bare_lf:
        problems.append(f"{bare_lf} LF without CR")
    if bare_cr:
        problems.append(f"{bare_cr} CR without LF")
    if not data.endswith(b"\r\n"):
        problems.append("the last line has no CR LF")
    return problems


def guide_problems(text):
    separator = ENGLISH_SEPARATOR.search(text)
    if not separator:
        return ["no line of dashes before an English part"]
    japanese, english = text[:separator.start()], text[separator.end():]
    problems = []
    if not JAPANESE.search(japanese):
        problems.append("the first part holds no Japanese")
    if len(re.findall(r"\b(the|is|and|of)\b", english)) < 10:
        problems.append("the part after the dashes is not English")
    for part, name in ((japanese, "Japanese"), (english, "English")):
        if "crclist.INF" not in part:
            problems.append(f"the {name} part does not say where crclist.INF goes")
    at = japanese.find("終了コード")
    if at < 0 or not (re.search(r"(?m)^\s*1\s", japanese[at:])
                      and re.search(r"(?m)^\s*0\s", japanese[at:])):
        problems.append("the Japanese part does not name exit codes 1 and 0")
    at = english.lower().find("exit code")
    if at < 0 or not (re.search(r"\b1\b", english[at:]) and re.search(r"\b0\b", english[at:])):
        problems.append("the English part does not name exit codes 1 and 0")
    return problems


def message_problems(text, texts):
    problems = []
    for name in GUIDE_MESSAGES:
        if name not in texts:
            problems.append(f"{name} is not in texts.h")
            continue
        missing = [line for line in texts[name].split("\n") if line and line not in text]
        if missing:
            problems.append(f"{name} not quoted as the program shows it: {missing[0]!r}")
    return problems


def sample_problems(text):
    """The sample read the way the program reads a list of this shape: a section header on
    a line of its own, then its lines."""
    sections = []
    for number, line in enumerate(text.splitlines(), 1):
        header = re.fullmatch(r"\[([A-Z]+)\]", line)
        if header:
            sections.append((header[1], []))
        elif not sections:
            return [f"line {number} lies before the first section"]
        elif line.strip():
            sections[-1][1].append((number, line))
    problems = []
    counts = {}
    for name, lines in sections:
        counts[name] = counts.get(name, 0) + 1
        if name not in SAMPLE_SECTIONS:
            problems.append(f"unknown section [{name}]")
            continue
        if not lines:
            problems.append(f"[{name}] is empty")
        pattern = {"GAME": KEY_LINE, "CDFILES": ENTRY_LINE, "REG": ENTRY_LINE}.get(name,
                                                                               QUOTED_LINE)
        for number, line in lines:
            if not pattern.match(line):
                problems.append(f"line {number} of [{name}] is not well-formed: {line!r}")
        if name in ("TITLE", "GAME") and len(lines) > 1:
            problems.append(f"[{name}] has {len(lines)} values, only the last would count")
    for name, want in SAMPLE_SECTIONS.items():
        if counts.get(name, 0) != want:
            problems.append(f"{counts.get(name, 0)} [{name}] sections, expected {want}")
    return problems


def run_checks(data, texts=None):
    """[(check name, passed, detail)] for the package's bytes."""
    results = []

    def report(name, problems, good):
        results.append((name, not problems, "; ".join(problems) if problems else good))

    try:
        package = zipfile.ZipFile(io.BytesIO(data))
        entries = package.infolist()
    except (zipfile.BadZipFile, OSError, ValueError) as error:
        return [("zip", False, f"not a zip file: {error}")]

    names = [e.filename for e in entries]
    files = [e.filename for e in entries if not e.is_dir()]
    folders = {n for n in names if n.endswith("/")}
    parents = {m.rsplit("/", 1)[0] + "/" for m in MEMBERS if "/" in m}
    problems = [f"missing {n}" for n in sorted(MEMBERS - set(files))]
    problems += [f"unexpected {n}" for n in sorted(set(files) - MEMBERS)]
    problems += [f"unexpected folder {n}" for n in sorted(folders - parents)]
    problems += [f"{n} twice" for n in sorted(set(files)) if files.count(n) > 1]
    report("members", problems, ", ".join(sorted(MEMBERS)))

    def member(name):
        if name not in files:
            return None  # reported with the members
        try:
            return package.read(name)
        except (zipfile.BadZipFile, OSError, ValueError, EOFError) as error:
            report(name, [f"cannot be read: {error}"], "")
            return None

    def text_member(name, short):
        """The member's text, once its encoding and line ends are checked; None when it
        is missing or cannot be decoded."""
        raw = member(name)
        if raw is None:
            return None
        text, problems = decode_cp932(raw)
        report(f"{short} encoding", problems, "Shift-JIS (code page 932)")
        report(f"{short} line ends", line_end_problems(raw), "CR LF only, last line ended")
        # What the text says is read apart from its line ends, which have their own check.
        return None if text is None else text.replace("\r\n", "\n")

    program = member(PROGRAM)
    if program is not None:
        failed = [f"{n}: {d}" for n, passed, d in check_exe.run_checks(program) if not passed]
        report(PROGRAM, failed, "passes check_exe.py: PE32 i386 GUI, dialogs, version")

    tool = member(TOOL)
    if tool is not None:
        try:
            pe = check_exe.PeFile(tool)
            # crclist.exe shares the program's reading code, and carries its manifest too.
            problems = (check_exe.format_problems(pe, want_pe32_plus=False) +
                        check_exe.subsystem_problems(pe, SUBSYSTEM_WINDOWS_CUI, "console") +
                        check_exe.manifest_problems(pe.resources()) +
                        check_exe.dll_problems(pe.imports(), TOOL_DLLS))
        except check_exe.BROKEN as error:
            problems = [f"not a PE file: {error}"]
        report(TOOL, problems, "PE32, machine 0x014C, console, the program's manifest, "
               "system DLLs and libudfread.dll only")

    library = member(UDF_LIBRARY)
    if library is not None:
        try:
            pe = check_exe.PeFile(library)
            problems = (check_exe.format_problems(pe, want_pe32_plus=False) +
                        check_exe.dll_problems(pe.imports()))
            if not pe.characteristics & IMAGE_FILE_DLL:
                problems.append("is not a DLL")
        except check_exe.BROKEN as error:
            problems = [f"not a PE file: {error}"]
        report(UDF_LIBRARY, problems, "a PE32 DLL for machine 0x014C, system DLLs only")
    licence = member(UDF_LICENCE)
    if licence is not None:
        report(UDF_LICENCE,
               [] if b"GNU LESSER GENERAL PUBLIC LICENSE" in licence else ["not the LGPL"],
               "libudfread's licence, the LGPL")

    guide = text_member(GUIDE, "README.txt")
    if guide is not None:
        report("README.txt content", guide_problems(guide),
               "Japanese, then English; crclist.INF and exit codes 1 and 0 in both")
        report("README.txt messages",
               message_problems(guide, program_texts() if texts is None else texts),
               "quotes the program's messages as texts.h has them")
    sample = text_member(SAMPLE, "crclist.INF")
    if sample is not None:
        report("crclist.INF content", sample_problems(sample),
               "TITLE, GAME, MESSAGE, 2 DRIVEINFO, 2 CDFILES, REG, each line well-formed")
    return results


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    path = argv[1]
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as error:
        print(f"FAIL: {path}: {error} (the package target makes it)")
        return 1
    failed = 0
    for name, passed, detail in run_checks(data):
        print(f"{'ok' if passed else 'FAIL'}: {os.path.basename(path)}: {name}: {detail}")
        failed += not passed
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
