#!/usr/bin/env python3
"""Builds the files of end-to-end scenarios and takes the "nothing is written" snapshots.

A group file holds scenarios, each introduced by a line "=== name [tags]" and made of sections
introduced by "--- inf", "--- make", "--- files", "--- drives", "--- registry" and "--- script":

  inf       crclist.INF as UTF-8; converted to Shift-JIS with iconv. No section: no file.
  make      instead of inf: crclist.INF written by "crclist.exe make" under Wine, one argument
            a line (such as --title=TEXT), "-o" added; crclist.exe is $E2E_CRCLIST.
  files     "PATH SIZE [sparse] [noread]" per line; PATH starts with disc1/, disc2/ or inst/;
            SIZE is a byte count with an optional K, M or G and "+N" (4G+100). A last
            component "@deepN" makes a chain of Japanese folder names so that the file's
            Windows path is exactly N bytes in Shift-JIS. "noread" takes every permission
            away from the file. "PATH/" alone makes a folder.
  drives    "cdrom LETTER FOLDER" or "folder LETTER FOLDER" per line. Default: disc1 as the
            CD-ROM drive E:, disc2 as the CD-ROM drive G:. inst is always the plain drive I:.
            FOLDER "disc1+disc2" is a folder with the files of both (hard links): the drive
            into which the user puts one disc after the other.
  registry  the title's key HKCU\\Software\\E2ESumwarden\\Title exists, with one "NAME = DATA"
            value per line: a string, or "dword:HEX", "binary:TEXT" (the Shift-JIS bytes
            without a terminating zero) or "expand:TEXT" (REG_EXPAND_SZ). A line "[NAME]"
            names the key HKCU\\Software\\E2ESumwarden\\NAME instead. No section: the key is
            absent.
  script    the driver script.

"--- SECTION from OTHER" starts the section with the lines of that section of the scenario
OTHER, defined above in the same file.

In every section ${size:PATH}, ${crc:PATH}, ${badcrc:PATH} (the CRC with its lowest bit
flipped), ${badsize:PATH} (size + 1), ${low32:PATH} (the low 32 bits of the size),
${winpath:PATH} and ${name:PATH} (the Windows path below the drive's root) are replaced with
the file's values, and ${repeat:N:TEXT} with TEXT N times (large check lists and long names are
made here, not stored; ${repeat} works in the paths of "files" too). ${folder:NAME}
is the Windows path of the scenario's folder NAME (disc1, work, ...). In the script, the values
are written as a quoted text needs them (\\ for \).

Commands:
  list FILE...               print "FILE<TAB>NAME<TAB>TAGS" for every scenario
  build FILE NAME OUTDIR     make OUTDIR/{work,disc1,disc2,inst}, script.txt, registry.reg and
                             env.sh (drive list and the folders to watch)
  snapshot OUT DIR...        list every entry under the folders with size, time and mode, and
                             the SHA-1 of every file below 64 MiB; "flat:DIR" lists DIR's own
                             files only
"""

import hashlib
import os
import random
import re
import subprocess
import sys
import zlib

GAME_KEY = r"HKEY_CURRENT_USER\Software\E2ESumwarden"
TITLE_KEY_NAME = "Title"
SUBSTITUTION = re.compile(r"\$\{(size|crc|badcrc|badsize|low32|winpath|name|folder):([^}]+)\}")
REPEAT = re.compile(r"\$\{repeat:(\d+):([^}]*)\}")
HASH_LIMIT = 64 << 20
DEEP_CHAR = "あ"  # two bytes in Shift-JIS, three in UTF-8
DEEP_PARTS = 5


def read_groups(path):
    """Returns {name: {"tags": [...], section: [lines]}} in file order."""
    scenarios = {}
    current = None
    section = None
    with open(path, encoding="utf-8") as group:
        for number, raw in enumerate(group, 1):
            line = raw.rstrip("\n")
            if line.startswith("=== "):
                words = line[4:].split()
                current = {"tags": words[1:]}
                scenarios[words[0]] = current
                section = None
            elif line.startswith("--- "):
                if current is None:
                    sys.exit(f"{path}:{number}: section outside a scenario")
                words = line[4:].split()
                section = words[0]
                current[section] = []
                if len(words) == 3 and words[1] == "from":
                    # "--- inf from other": the other scenario's section, then these lines.
                    if words[2] not in scenarios or section not in scenarios[words[2]]:
                        sys.exit(f"{path}:{number}: no {section} section in {words[2]} above")
                    current[section] = list(scenarios[words[2]][section])
            elif section is not None:
                current[section].append(line)
            elif line.strip() and not line.startswith("#"):
                sys.exit(f"{path}:{number}: text outside a section")
    for data in scenarios.values():
        for key, lines in data.items():
            while key != "tags" and lines and not lines[-1].strip():
                lines.pop()
    return scenarios


def repeated(text):
    return REPEAT.sub(lambda match: match.group(2) * int(match.group(1)), text)


def parse_size(text):
    total = 0
    for part in text.split("+"):
        factor = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}.get(part[-1:].upper(), 1)
        digits = part[:-1] if factor > 1 else part
        total += int(digits) * factor
    return total


def deep_components(length):
    """Folder and file names whose path below "X:\\" makes a Windows path of `length` bytes."""
    ascii_bytes = 3 + (DEEP_PARTS - 1)  # "X:\" and the separators
    extra = (length - ascii_bytes) % 2  # one ASCII letter evens out the rest
    chars = (length - ascii_bytes - extra) // 2
    parts = []
    for index in range(DEEP_PARTS):
        count = chars // DEEP_PARTS + (1 if index < chars % DEEP_PARTS else 0)
        parts.append(DEEP_CHAR * count)
    parts[-1] += "x" * extra
    return parts


class Scenario:
    def __init__(self, data, outdir):
        self.data = data
        self.outdir = outdir
        self.files = {}  # a scenario's file path -> (unix path, windows path, size, sparse)
        self.unreadable = []  # the paths of the files that lose every permission once all is made
        self.drives = []  # (letter, type, folder)
        self._crcs = {}

    def folder(self, name):
        return os.path.join(self.outdir, name)

    def setup_drives(self):
        lines = [l.split() for l in self.data.get("drives", []) if l.strip()]
        if "drives" not in self.data:
            lines = [["cdrom", "e", "disc1"], ["cdrom", "g", "disc2"]]
        for kind, letter, folder in lines:
            self.drives.append((letter.lower(), kind, folder))
        self.drives.append(("i", "folder", "inst"))

    def windows_path(self, top, rest):
        for letter, _, folder in self.drives:
            if folder == top:
                return letter.upper() + ":\\" + "\\".join(rest)
        return None

    def make_files(self):
        for line in self.data.get("files", []):
            words = line.split()
            if not words:
                continue
            # Long names are written as ${repeat:N:TEXT} here too.
            path = repeated(words[0])
            if path.endswith("/"):
                # A folder where the check list may name a file.
                parts = path.rstrip("/").split("/")
                unix = os.path.join(self.folder(parts[0]), *parts[1:])
                os.makedirs(unix, exist_ok=True)
                self.files[path] = (unix, self.windows_path(parts[0], parts[1:]), 0, True)
                continue
            size = parse_size(words[1])
            sparse = "sparse" in words[2:]
            if "noread" in words[2:]:
                self.unreadable.append(path)
            parts = path.split("/")
            rest = parts[1:]
            if rest[-1].startswith("@deep"):
                rest = rest[:-1] + deep_components(int(rest[-1][5:]))
            unix = os.path.join(self.folder(parts[0]), *rest)
            os.makedirs(os.path.dirname(unix), exist_ok=True)
            if sparse:
                with open(unix, "wb") as out:
                    out.truncate(size)
            else:
                content = random.Random(path).randbytes(size)
                with open(unix, "wb") as out:
                    out.write(content)
            self.files[path] = (unix, self.windows_path(parts[0], rest), size, sparse)

    def take_permissions(self):
        # Last, after the CRCs of every file were computed.
        for path in self.unreadable:
            os.chmod(self.files[path][0], 0)

    def crc(self, path):
        if path not in self._crcs:
            unix, _, size, sparse = self.files[path]
            value = 0
            if sparse:
                # All zeros: no need to read what is not on disk.
                chunk = bytes(1 << 20)
                left = size
                while left:
                    step = min(left, len(chunk))
                    value = zlib.crc32(chunk[:step], value)
                    left -= step
            else:
                with open(unix, "rb") as data:
                    while block := data.read(1 << 20):
                        value = zlib.crc32(block, value)
            self._crcs[path] = value & 0xFFFFFFFF
        return self._crcs[path]

    def substitute(self, text, quoted=False):
        def value(match):
            what, path = match.group(1), match.group(2)
            if what == "folder":
                return windows_form(self.folder(path))
            if path not in self.files:
                sys.exit(f"unknown file {path} in {match.group(0)}")
            _, windows, size, _ = self.files[path]
            result = {
                "size": lambda: str(size),
                "badsize": lambda: str(size + 1),
                "low32": lambda: str(size & 0xFFFFFFFF),
                "crc": lambda: f"{self.crc(path):08X}",
                "badcrc": lambda: f"{self.crc(path) ^ 1:08X}",
                "winpath": lambda: windows,
                "name": lambda: windows[3:],
            }[what]()
            return result.replace("\\", "\\\\").replace('"', '\\"') if quoted else result

        return SUBSTITUTION.sub(value, repeated(text))

    def write_inf(self):
        if "inf" not in self.data:
            return
        # No lines at all: a file of 0 bytes.
        lines = self.data["inf"]
        text = self.substitute("\n".join(lines) + "\n") if lines else ""
        target = os.path.join(self.folder("work"), "crclist.INF")
        with open(target, "wb") as out:
            out.write(subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP932"], check=True,
                                     input=text.encode("utf-8"), capture_output=True).stdout)

    def merge_drives(self):
        """Fills each drive folder "a+b" with hard links to the files of a and b."""
        for _, _, folder in self.drives:
            if "+" not in folder:
                continue
            target = self.folder(folder)
            for part in folder.split("+"):
                source = self.folder(part)
                for root, _, files in os.walk(source):
                    for name in files:
                        relative = os.path.relpath(os.path.join(root, name), source)
                        os.makedirs(os.path.dirname(os.path.join(target, relative)), exist_ok=True)
                        os.link(os.path.join(root, name), os.path.join(target, relative))

    def run_make(self):
        """Writes crclist.INF with crclist.exe make, under Wine in the run's prefix."""
        if "make" not in self.data:
            return
        if "inf" in self.data:
            sys.exit("a scenario has an inf section or a make section, not both")
        crclist = os.environ.get("E2E_CRCLIST", "")
        if not os.path.isfile(crclist):
            sys.exit(f"--- make needs crclist.exe in $E2E_CRCLIST (now '{crclist}')")
        args = [self.substitute(line) for line in self.data["make"] if line.strip()]
        target = windows_form(os.path.join(self.folder("work"), "crclist.INF"))
        wine = os.environ.get("E2E_WINE", "/usr/lib/wine/wine64")
        environment = dict(os.environ, LC_ALL="ja_JP.UTF-8", LANG="ja_JP.UTF-8")
        # The output goes to a file, not a pipe: the Wine services that the first program of a
        # prefix starts inherit its handles and would hold a pipe open for the whole run.
        log = os.path.join(self.outdir, "make.log")
        with open(log, "wb") as output:
            result = subprocess.run([wine, crclist, "make", *args, "-o", target],
                                    env=environment, stdin=subprocess.DEVNULL, stdout=output,
                                    stderr=subprocess.STDOUT, timeout=120)
        with open(log, "rb") as output:
            sys.stdout.buffer.write(output.read())
        if result.returncode != 0:
            sys.exit(f"crclist.exe make exited with {result.returncode}")

    def write_registry(self):
        def quoted(text):
            return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'

        def hex_bytes(data):
            return ",".join(f"{byte:02x}" for byte in data)

        def typed(data):
            # "dword:HEX", "binary:TEXT", "expand:TEXT"; anything else is a string.
            kind, _, rest = data.partition(":")
            if kind == "dword":
                return f"dword:{int(rest, 16):08x}"
            if kind == "binary":
                return "hex:" + hex_bytes(rest.encode("cp932"))
            if kind == "expand":
                return "hex(2):" + hex_bytes((rest + "\0").encode("utf-16-le"))
            return quoted(data)

        # Deleting the parent removes whatever key an earlier scenario made below it.
        lines = ["Windows Registry Editor Version 5.00", "", f"[-{GAME_KEY}]", ""]
        if "registry" in self.data:
            entries = self.data["registry"]
            names = [l.strip()[1:-1] for l in entries if l.strip().startswith("[")]
            lines.append(f"[{GAME_KEY}\\{names[-1] if names else TITLE_KEY_NAME}]")
            for line in entries:
                if "=" in line and not line.strip().startswith("["):
                    name, data = (part.strip() for part in line.split("=", 1))
                    lines.append(f"{quoted(name)}={typed(self.substitute(data))}")
            lines.append("")
        text = "\r\n".join(lines) + "\r\n"
        with open(os.path.join(self.outdir, "registry.reg"), "wb") as out:
            out.write(b"\xff\xfe" + text.encode("utf-16-le"))

    def write_script(self):
        with open(os.path.join(self.outdir, "script.txt"), "w", encoding="utf-8") as out:
            out.write(self.substitute("\n".join(self.data.get("script", [])) + "\n", True))

    def write_env(self):
        drives = " ".join(f"{l}:{kind}:{self.folder(folder)}" for l, kind, folder in self.drives)
        watched = " ".join(self.folder(name) for name in ("work", "disc1", "disc2", "inst"))
        with open(os.path.join(self.outdir, "env.sh"), "w", encoding="utf-8") as out:
            out.write(f"scenario_drives='{drives}'\nscenario_watched='{watched}'\n")

    def build(self):
        for name in ("work", "disc1", "disc2", "inst"):
            os.makedirs(self.folder(name), exist_ok=True)
        self.setup_drives()
        self.make_files()
        self.merge_drives()
        self.write_inf()
        self.run_make()
        self.write_registry()
        self.write_script()
        self.write_env()
        self.take_permissions()


def windows_form(path):
    """The Windows path of a Unix path: Wine maps Z: to the root."""
    return "Z:" + path.replace("/", "\\")


def snapshot(out_path, folders):
    rows = []
    for top in folders:
        # "flat:DIR": only the entries directly in DIR (the program's own folder, beside
        # which build files come and go).
        flat = top.startswith("flat:")
        top = top[5:] if flat else top
        for root, dirs, files in os.walk(top):
            if flat:
                dirs.clear()
            dirs.sort()
            for name in sorted(dirs + files):
                path = os.path.join(root, name)
                info = os.lstat(path)
                row = f"{path} {info.st_mode:o} {info.st_size} {info.st_mtime_ns}"
                if name in files and info.st_size < HASH_LIMIT:
                    with open(path, "rb") as data:
                        row += " " + hashlib.sha1(data.read()).hexdigest()
                rows.append(row)
    with open(out_path, "w", encoding="utf-8") as out:
        out.write("\n".join(rows) + "\n")


def main(argv):
    if len(argv) >= 2 and argv[1] == "list":
        for path in argv[2:]:
            for name, data in read_groups(path).items():
                print(f"{path}\t{name}\t{','.join(data['tags'])}")
    elif len(argv) == 5 and argv[1] == "build":
        scenarios = read_groups(argv[2])
        if argv[3] not in scenarios:
            sys.exit(f"no scenario {argv[3]} in {argv[2]}")
        Scenario(scenarios[argv[3]], argv[4]).build()
    elif len(argv) >= 3 and argv[1] == "snapshot":
        snapshot(argv[2], argv[3:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
