#!/usr/bin/env python3
"""Checks the built program file: format, imports and resources.

    check_exe.py [--dump] I686_EXE [X86_64_EXE]
    check_exe.py [--dump] --x86-64 X86_64_EXE

The first file is the release program and must be a 32-bit (PE32, i386) Windows GUI
program; the optional second one, or the only one after --x86-64, is the x86_64 build of the
same sources, checked the same way except for its format. Every check prints one line, "ok: ..." or "FAIL: ..."; the exit
code is 1 when any check failed. --dump also prints each dialog template as stored.

The file is read with the standard library alone: the PE headers, the import table, the
resource directory, the dialog templates, the icon group, the version record and the
application manifest are parsed here, so that nothing beyond Python is needed to check a build.
manifest_problems() checks the manifest of any program file, crclist.exe's too.
"""

import json
import struct
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

MACHINE_I386 = 0x014C
MACHINE_AMD64 = 0x8664
SUBSYSTEM_WINDOWS_GUI = 2

RT_ICON = 3
RT_DIALOG = 5
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24
LANG_JAPANESE = 0x0411

# DLLs the program may load: all part of every Windows installation.
ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "comctl32.dll",
                "msvcrt.dll"}
ALLOWED_DLL_PREFIXES = ("api-ms-win-crt-",)
# Runtime DLLs of the compiler that a mislinked build would need beside the .exe.
FORBIDDEN_DLL_PREFIXES = ("libgcc_s", "libstdc++", "libwinpthread")
# The program's own window, drawing and registry calls must all be the ANSI forms. The C
# runtime's start-up code may use wide kernel32 functions, so kernel32 is not checked.
ANSI_ONLY_DLLS = {"user32.dll", "gdi32.dll", "comctl32.dll", "advapi32.dll"}
# Functions that take or give UTF-16 text without a W suffix.
WIDE_ONLY_NAMES = {"ToUnicode", "ToUnicodeEx", "InternalGetWindowText"}

STYLE_BITS = {
    "WS_POPUP": 0x80000000, "WS_CHILD": 0x40000000, "WS_VISIBLE": 0x10000000,
    "WS_DISABLED": 0x08000000, "WS_CAPTION": 0x00C00000, "WS_BORDER": 0x00800000,
    "WS_DLGFRAME": 0x00400000, "WS_VSCROLL": 0x00200000, "WS_HSCROLL": 0x00100000,
    "WS_SYSMENU": 0x00080000, "WS_THICKFRAME": 0x00040000, "WS_GROUP": 0x00020000,
    "WS_TABSTOP": 0x00010000,
}
DIALOG_BITS = {
    "DS_SYSMODAL": 0x02, "DS_3DLOOK": 0x04, "DS_SETFONT": 0x40, "DS_MODALFRAME": 0x80,
    "DS_NOFAILCREATE": 0x10, "DS_SETFOREGROUND": 0x200, "DS_CONTROL": 0x400,
    "DS_CENTER": 0x800,
}
# Low-word styles by control class; 0 has a name of its own in each class.
CLASS_BITS = {
    "BUTTON": {"BS_DEFPUSHBUTTON": 0x1, "BS_CHECKBOX": 0x2, "BS_AUTOCHECKBOX": 0x3},
    "COMBOBOX": {"CBS_SIMPLE": 0x1, "CBS_DROPDOWN": 0x2, "CBS_DROPDOWNLIST": 0x3,
                 "CBS_SORT": 0x100},
    "STATIC": {"SS_CENTER": 0x1, "SS_RIGHT": 0x2, "SS_NOPREFIX": 0x80},
    "MSCTLS_PROGRESS32": {"PBS_SMOOTH": 0x1, "PBS_VERTICAL": 0x4},
}
CLASS_ZERO_NAMES = {"BUTTON": "BS_PUSHBUTTON", "STATIC": "SS_LEFT"}
PREDEFINED_CLASSES = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC", 0x83: "LISTBOX",
                      0x84: "SCROLLBAR", 0x85: "COMBOBOX"}

# What the program must look like from outside: the tests' one table of its interface.
INTERFACE_TABLE = Path(__file__).resolve().parent.parent / "interface" / "program_interface.json"


def load_interface(path=INTERFACE_TABLE):
    """The dialogs by template id as (rect, caption, style, font, controls), the controls in
    tab order as (class, id, text, rect, style); the icon group id; and the manifest's
    settings as (active code page, execution level)."""
    with open(path, encoding="utf-8") as f:
        table = json.load(f)
    dialogs = {}
    for dialog in table["dialogs"]:
        controls = [(c["class"], c["id"], c["text"], tuple(c["rect"]), c["style"])
                    for c in dialog["controls"]]
        dialogs[dialog["template"]] = (tuple(dialog["rect"]), dialog["caption"],
                                       dialog["style"], tuple(dialog["font"]), controls)
    manifest = table["manifest"]
    return dialogs, table["iconGroup"], (manifest["activeCodePage"], manifest["executionLevel"])


EXPECTED_DIALOGS, ICON_GROUP, EXPECTED_MANIFEST = load_interface()

# The manifest that Windows reads when it creates the process is resource 1
# (CREATEPROCESS_MANIFEST_RESOURCE_ID). Its elements, each once at its place and in its
# namespace; any other element, such as a dependency on common controls 6, dpiAware or
# dpiAwareness, changes how the dialogs look and fails the check.
ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
SETTINGS_2019 = "http://schemas.microsoft.com/SMI/2019/WindowsSettings"
MANIFEST_ID = 1
EXECUTION_LEVEL = "trustInfo/security/requestedPrivileges/requestedExecutionLevel"
ACTIVE_CODE_PAGE = "application/windowsSettings/activeCodePage"
MANIFEST_ELEMENTS = {
    "trustInfo": ASM_V3, "trustInfo/security": ASM_V3,
    "trustInfo/security/requestedPrivileges": ASM_V3, EXECUTION_LEVEL: ASM_V3,
    "application": ASM_V3, "application/windowsSettings": ASM_V3,
    ACTIVE_CODE_PAGE: SETTINGS_2019,
}

EXPECTED_VERSION = (1, 0, 0, 1)
VERSION_STRING_TABLE = "041103a4"
VERSION_KEYS = ("CompanyName", "FileDescription", "FileVersion", "InternalName",
                "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion")
VERSION_FIXED_STRINGS = {"FileVersion": "1.0.0.1", "ProductVersion": "1.0.0.1",
                         "OriginalFilename": "sumwarden.exe", "ProductName": "Sumwarden"}
EXPECTED_TRANSLATION = (0x0411, 932)
EXPECTED_ICON_SIZES = [32, 16]


class FormatError(Exception):
    pass


# What a damaged file can raise while it is parsed; each is reported as a failed check.
BROKEN = (FormatError, struct.error, IndexError, ValueError, StopIteration)


def style_value(names):
    """The numeric style for a space-separated list of style names."""
    value = 0
    for name in names.split():
        for table in (STYLE_BITS, DIALOG_BITS, *CLASS_BITS.values()):
            if name in table:
                value |= table[name]
                break
        else:
            if name not in CLASS_ZERO_NAMES.values():
                raise KeyError(name)
    return value


def style_names(value, class_name=None):
    """Names for the bits of a window style, unknown bits in hex."""
    names = [n for n, bit in STYLE_BITS.items()
             if bit and value & bit == bit and not (n in ("WS_BORDER", "WS_DLGFRAME")
                                                    and value & 0x00C00000 == 0x00C00000)]
    low = value & 0xFFFF
    table = DIALOG_BITS if class_name is None else CLASS_BITS.get(class_name.upper(), {})
    if class_name is not None and class_name.upper() == "COMBOBOX":
        kind = low & 0x3
        names += [n for n, bit in table.items() if bit == kind and bit < 0x4]
        low &= ~0x3
        table = {n: b for n, b in table.items() if b >= 0x4}
    elif class_name is not None and class_name.upper() in ("BUTTON", "STATIC"):
        kind = low & 0xF if class_name.upper() == "BUTTON" else low & 0x1F
        named = [n for n, bit in table.items() if bit == kind]
        names += named or ([CLASS_ZERO_NAMES[class_name.upper()]] if kind == 0 else
                           [f"0x{kind:X}"])
        low &= ~(0xF if class_name.upper() == "BUTTON" else 0x1F)
        table = {n: b for n, b in table.items() if b > 0x1F}
    for name, bit in table.items():
        if low & bit == bit:
            names.append(name)
            low &= ~bit
    if low:
        names.append(f"0x{low:X}")
    return names


class PeFile:
    """The parts of a PE file that the checks need."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise FormatError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise FormatError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        if self.magic == 0x10B:
            self.pe32_plus = False
            self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
            directories = optional + 96
        elif self.magic == 0x20B:
            self.pe32_plus = True
            self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
            directories = optional + 112
        else:
            raise FormatError(f"unknown optional header magic 0x{self.magic:X}")
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            (virtual_size, address, raw_size, raw_offset) = struct.unpack_from(
                "<IIII", data, table + 40 * i + 8)
            self.sections.append((address, max(virtual_size, raw_size), raw_offset, raw_size))

    def offset(self, rva):
        for address, size, raw_offset, raw_size in self.sections:
            if address <= rva < address + size:
                if rva - address >= raw_size:
                    raise FormatError(f"RVA 0x{rva:X} lies in uninitialised data")
                return raw_offset + rva - address
        raise FormatError(f"RVA 0x{rva:X} is outside every section")

    def c_string(self, rva):
        start = self.offset(rva)
        end = self.data.find(b"\0", start)
        if end < 0:
            raise FormatError(f"name at RVA 0x{rva:X} has no end")
        return self.data[start:end].decode("latin-1")

    def imports(self):
        """{dll name: [function names, or '#ordinal']}."""
        rva, size = self.directories[1]
        result = {}
        if not rva:
            return result
        at = self.offset(rva)
        thunk_format, ordinal_flag = ("<Q", 1 << 63) if self.pe32_plus else ("<I", 1 << 31)
        thunk_size = struct.calcsize(thunk_format)
        while True:
            lookup, _, _, name, first_thunk = struct.unpack_from("<IIIII", self.data, at)
            if not (lookup or name or first_thunk):
                break
            functions = result.setdefault(self.c_string(name), [])
            thunk = self.offset(lookup or first_thunk)
            while True:
                entry = struct.unpack_from(thunk_format, self.data, thunk)[0]
                if entry == 0:
                    break
                if entry & ordinal_flag:
                    functions.append(f"#{entry & 0xFFFF}")
                else:
                    functions.append(self.c_string((entry & 0x7FFFFFFF) + 2))
                thunk += thunk_size
            at += 20
        return result

    def resources(self):
        """{(type, name): {language: bytes}}; numeric ids as ints, names as strings."""
        rva, _ = self.directories[2]
        result = {}
        if not rva:
            return result
        base = self.offset(rva)

        def entries(directory):
            named, ids = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data,
                                                  base + directory + 16 + 8 * i)
                if name & 0x80000000:
                    at = base + (name & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    name = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield name, target

        for type_id, names in entries(0):
            if not type_id_is_directory(names):
                raise FormatError("resource type entry is not a directory")
            for name, languages in entries(names & 0x7FFFFFFF):
                for language, leaf in entries(languages & 0x7FFFFFFF):
                    if type_id_is_directory(leaf):
                        raise FormatError("resource tree deeper than three levels")
                    data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(data_rva)
                    result.setdefault((type_id, name), {})[language] = \
                        self.data[start:start + size]
        return result


def type_id_is_directory(target):
    return bool(target & 0x80000000)


class Reader:
    """Sequential reads from a resource's bytes."""

    def __init__(self, data):
        self.data = data
        self.at = 0

    def unpack(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values

    def align(self, boundary=4):
        self.at = (self.at + boundary - 1) // boundary * boundary

    def string(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            if end + 2 > len(self.data):
                raise FormatError("string runs past the end of its resource")
            end += 2
        text = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return text

    def name_or_ordinal(self):
        first = struct.unpack_from("<H", self.data, self.at)[0]
        if first == 0xFFFF:
            self.at += 2
            return self.unpack("H")[0]
        return self.string()


def parse_dialog(data):
    """A dialog template (either form) as a dict."""
    r = Reader(data)
    extended = data[2:4] == b"\xff\xff"
    if extended:
        _, _, _, ex_style, style, count, x, y, cx, cy = r.unpack("HHIIIHhhhh")
    else:
        style, ex_style, count, x, y, cx, cy = r.unpack("IIHhhhh")
    dialog = {"extended": extended, "style": style, "ex_style": ex_style,
              "rect": (x, y, cx, cy), "menu": r.name_or_ordinal(),
              "class": r.name_or_ordinal(), "caption": r.string(), "font": None,
              "controls": []}
    if style & DIALOG_BITS["DS_SETFONT"]:
        if extended:
            size, weight, italic, charset = r.unpack("HHBB")
            dialog["font"] = (size, r.string())
            dialog["font_details"] = (weight, italic, charset)
        else:
            dialog["font"] = (r.unpack("H")[0], r.string())
    for _ in range(count):
        r.align()
        if extended:
            _, ex, st, x, y, cx, cy, control_id = r.unpack("IIIhhhhI")
            if control_id == 0xFFFFFFFF:
                control_id = -1
        else:
            st, ex, x, y, cx, cy, control_id = r.unpack("IIhhhhH")
        if control_id == 0xFFFF:
            control_id = -1
        class_name = r.name_or_ordinal()
        if isinstance(class_name, int):
            class_name = PREDEFINED_CLASSES.get(class_name, f"#{class_name}")
        text = r.name_or_ordinal()
        extra = r.unpack("H")[0]
        r.at += extra
        dialog["controls"].append({"class": class_name, "id": control_id, "text": text,
                                   "rect": (x, y, cx, cy), "style": st, "ex_style": ex})
    return dialog


def dump_dialog(name, dialog):
    lines = [f"dialog {name}: {'DIALOGEX' if dialog['extended'] else 'DIALOG'} "
             f"rect {dialog['rect']} caption {dialog['caption']!r}",
             f"  style 0x{dialog['style']:08X} {' '.join(style_names(dialog['style']))}"
             f"  ex_style 0x{dialog['ex_style']:X}",
             f"  menu {dialog['menu']!r} class {dialog['class']!r} font {dialog['font']!r}"
             f" {dialog.get('font_details', '')}"]
    for c in dialog["controls"]:
        lines.append(f"  {c['class']:<18} id {c['id']:>5} text {c['text']!r:<22} "
                     f"rect {c['rect']} style 0x{c['style']:08X} "
                     f"{' '.join(style_names(c['style'], c['class']))}"
                     + (f" ex_style 0x{c['ex_style']:X}" if c["ex_style"] else ""))
    return "\n".join(lines)


def dialog_differences(name, dialog):
    """Where a parsed template departs from EXPECTED_DIALOGS, as readable lines."""
    rect, caption, style, font, controls = EXPECTED_DIALOGS[name]
    problems = []

    def differ(what, got, want):
        if got != want:
            problems.append(f"{what}: {got!r}, expected {want!r}")

    differ("rectangle", dialog["rect"], rect)
    differ("caption", dialog["caption"], caption)
    differ("style", style_names(dialog["style"]), style_names(style_value(style)))
    differ("extended style", dialog["ex_style"], 0)
    differ("menu", dialog["menu"], "")
    differ("dialog class", dialog["class"], "")
    differ("font", dialog["font"], font)
    differ("number of controls", len(dialog["controls"]), len(controls))
    for i, (got, want) in enumerate(zip(dialog["controls"], controls)):
        class_name, control_id, text, control_rect, control_style = want
        where = f"control {i + 1} (id {control_id})"
        # Window class names are not case-sensitive; windres stores them upper-case.
        differ(f"{where} class", got["class"].upper(), class_name.upper())
        differ(f"{where} id", got["id"], control_id)
        differ(f"{where} text", got["text"], text)
        differ(f"{where} rectangle", got["rect"], control_rect)
        differ(f"{where} style", style_names(got["style"], got["class"]),
               style_names(style_value(control_style), class_name))
        differ(f"{where} extended style", got["ex_style"], 0)
        if isinstance(got["text"], str):
            try:
                got["text"].encode("cp932")
            except UnicodeEncodeError:
                problems.append(f"{where} text {got['text']!r} is not in code page 932")
    return problems


def parse_version_node(data, at=0):
    """One VS_VERSIONINFO-style node: (key, value bytes, value type, children)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, at)
    if length < 6 or at + length > len(data):
        raise FormatError(f"version node of length {length} at {at}")
    r = Reader(data)
    r.at = at + 6
    key = r.string()
    r.align()
    size = value_length * 2 if value_type == 1 else value_length
    value = data[r.at:r.at + size]
    r.at += size
    r.align()
    children = []
    end = at + length
    while r.at < end:
        children.append(parse_version_node(data, r.at))
        r.at += struct.unpack_from("<H", data, r.at)[0]  # at least 6, so this ends
        r.align()
    return key, value, value_type, children


def check_version(data):
    key, value, _, children = parse_version_node(data)
    problems = []
    if key != "VS_VERSION_INFO":
        return [f"root key {key!r}"]
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from(
        "<IIIIII", value)
    if signature != 0xFEEF04BD:
        return [f"VS_FIXEDFILEINFO signature 0x{signature:X}"]

    def four(ms, ls):
        return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    for what, version in (("FILEVERSION", four(file_ms, file_ls)),
                          ("PRODUCTVERSION", four(product_ms, product_ls))):
        if version != EXPECTED_VERSION:
            problems.append(f"{what} {'.'.join(map(str, version))}")
    blocks = {child[0]: child for child in children}
    tables = {t[0]: t for t in blocks.get("StringFileInfo", ("", b"", 0, []))[3]}
    if list(tables) != [VERSION_STRING_TABLE]:
        problems.append(f"string tables {list(tables)}, expected [{VERSION_STRING_TABLE!r}]")
    strings = {}
    for name, text, _, _ in tables.get(VERSION_STRING_TABLE, ("", b"", 0, []))[3]:
        strings[name] = text.decode("utf-16-le").rstrip("\0")
    for name in VERSION_KEYS:
        if not strings.get(name):
            problems.append(f"string {name} missing or empty")
    for name, want in VERSION_FIXED_STRINGS.items():
        if name in strings and strings[name] != want:
            problems.append(f"string {name} is {strings[name]!r}, expected {want!r}")
    variables = {v[0]: v[1] for v in blocks.get("VarFileInfo", ("", b"", 0, []))[3]}
    translation = variables.get("Translation", b"")
    if translation[:4] != struct.pack("<HH", *EXPECTED_TRANSLATION) or len(translation) != 4:
        problems.append(f"Translation {translation.hex()}, expected 0x411, 932")
    return problems


def check_icon(resources):
    group = resources.get((RT_GROUP_ICON, ICON_GROUP))
    if not group:
        return [f"icon group {ICON_GROUP} missing"]
    data = next(iter(group.values()))
    _, kind, count = struct.unpack_from("<HHH", data)
    problems = []
    if kind != 1:
        problems.append(f"group type {kind}")
    sizes = []
    for i in range(count):
        width, height, colours, _, _, bits, _, icon_id = struct.unpack_from(
            "<BBBBHHIH", data, 6 + 14 * i)
        width, height = width or 256, height or 256
        sizes.append(width)
        if width != height:
            problems.append(f"entry {i + 1} is {width} x {height}")
        if colours != 16 or bits != 4:
            problems.append(f"entry {i + 1} ({width} x {height}) has {colours or 'many'} "
                            f"colours at {bits} bits, expected 16 at 4")
        image = resources.get((RT_ICON, icon_id))
        if not image:
            problems.append(f"entry {i + 1}: icon image {icon_id} missing")
            continue
        header = next(iter(image.values()))
        _, image_width, image_height, _, image_bits = struct.unpack_from("<IiiHH", header)
        if (image_width, image_height, image_bits) != (width, 2 * height, 4):
            problems.append(f"icon image {icon_id} is {image_width} x {image_height // 2} "
                            f"at {image_bits} bits")
    if sizes != EXPECTED_ICON_SIZES:
        problems.append(f"sizes {sizes}, expected {EXPECTED_ICON_SIZES}")
    return problems


def manifest_problems(resources, expected=EXPECTED_MANIFEST):
    """What is wrong with the program's application manifest: [] when it is resource 1, the
    only one, and holds the active code page and the execution level of `expected` and
    nothing else."""
    code_page, level = expected
    manifests = {name: languages for (kind, name), languages in resources.items()
                 if kind == RT_MANIFEST}
    if not manifests:
        return ["no manifest"]
    if list(manifests) != [MANIFEST_ID] or len(manifests[MANIFEST_ID]) != 1:
        return [f"manifests {sorted(map(str, manifests))}, expected resource 1 alone, "
                f"in one language"]
    try:
        root = ElementTree.fromstring(next(iter(manifests[MANIFEST_ID].values())))
    except ElementTree.ParseError as error:
        return [f"not XML: {error}"]
    if root.tag != f"{{{ASM_V1}}}assembly" or root.get("manifestVersion") != "1.0":
        return [f"root {root.tag} version {root.get('manifestVersion')}, expected assembly "
                f"1.0 in {ASM_V1}"]
    problems = []
    found = {}

    def visit(element, path):
        for child in element:
            namespace, _, name = child.tag.lstrip("{").rpartition("}")
            where = f"{path}/{name}" if path else name
            if MANIFEST_ELEMENTS.get(where) != namespace or where in found:
                problems.append(f"unexpected {name} ({namespace or 'no namespace'})"
                                f" at {path or 'the top'}")
            else:
                found[where] = child
            visit(child, where)

    visit(root, "")
    problems += [f"no {where} in {namespace}" for where, namespace in MANIFEST_ELEMENTS.items()
                 if where not in found]
    if ACTIVE_CODE_PAGE in found and (found[ACTIVE_CODE_PAGE].text or "").strip() != code_page:
        problems.append(f"activeCodePage {found[ACTIVE_CODE_PAGE].text!r}, "
                        f"expected {code_page!r}")
    if EXECUTION_LEVEL in found:
        element = found[EXECUTION_LEVEL]
        if element.get("level") != level:
            problems.append(f"execution level {element.get('level')!r}, expected {level!r}")
        if element.get("uiAccess", "false") != "false":
            problems.append(f"uiAccess {element.get('uiAccess')!r}")
    return problems


def dll_problems(imports, also=()):
    """What is wrong with the DLLs of `imports`: each must be part of every Windows, or one of
    `also` (shipped beside the program)."""
    problems = []
    for dll in sorted(name.lower() for name in imports):
        if dll.startswith(FORBIDDEN_DLL_PREFIXES):
            problems.append(f"needs the compiler runtime {dll}")
        elif (dll not in ALLOWED_DLLS and dll not in also and
              not dll.startswith(ALLOWED_DLL_PREFIXES)):
            problems.append(f"needs {dll}")
    return problems


def format_name(pe32_plus):
    """("PE32+", machine) or ("PE32", machine) of the format that a build must have."""
    return ("PE32+", MACHINE_AMD64) if pe32_plus else ("PE32", MACHINE_I386)


def format_problems(pe, want_pe32_plus):
    want = format_name(want_pe32_plus)
    got = ("PE32+" if pe.pe32_plus else "PE32", pe.machine)
    if got == want:
        return []
    return [f"{got[0]} for machine 0x{got[1]:04X}, expected {want[0]} for 0x{want[1]:04X}"]


def subsystem_problems(pe, want, name):
    if pe.subsystem == want:
        return []
    return [f"subsystem {pe.subsystem}, expected {want} ({name})"]


def run_checks(data, want_pe32_plus=False):
    """[(check name, passed, detail)] for one program file."""
    results = []

    def report(name, problems, good):
        results.append((name, not problems, "; ".join(problems) if problems else good))

    try:
        pe = PeFile(data)
    except BROKEN as error:
        return [("format", False, f"not a PE file: {error}")]

    want = format_name(want_pe32_plus)
    report("format", format_problems(pe, want_pe32_plus), f"{want[0]}, machine 0x{want[1]:04X}")
    report("subsystem", subsystem_problems(pe, SUBSYSTEM_WINDOWS_GUI, "GUI"), "Windows GUI")

    try:
        imports = pe.imports()
    except BROKEN as error:
        report("imports", [f"import table unreadable: {error}"], "")
        imports = {}
    else:
        dlls = sorted(name.lower() for name in imports)
        report("dlls", dll_problems(imports), "system DLLs only: " + ", ".join(dlls))
        wide = [f"{dll}!{function}" for dll, functions in imports.items()
                if dll.lower() in ANSI_ONLY_DLLS for function in functions
                if function in WIDE_ONLY_NAMES
                or (len(function) > 1 and function[-1] == "W" and function[-2].islower())]
        report("ansi", [f"imports wide function {w}" for w in wide],
               "no wide function from " + ", ".join(sorted(ANSI_ONLY_DLLS)))

    try:
        resources = pe.resources()
    except BROKEN as error:
        report("resources", [f"resource directory unreadable: {error}"], "")
        return results

    for name in EXPECTED_DIALOGS:
        languages = resources.get((RT_DIALOG, name), {})
        if list(languages) != [LANG_JAPANESE]:
            report(f"dialog {name}", [f"languages {[hex(l) for l in languages]}, "
                                      f"expected [0x411]"], "")
            continue
        try:
            problems = dialog_differences(name, parse_dialog(languages[LANG_JAPANESE]))
        except BROKEN as error:
            problems = [f"template unreadable: {error}"]
        report(f"dialog {name}", problems, "template as designed, language 0x411")

    try:
        problems = check_icon(resources)
    except BROKEN as error:
        problems = [f"icon unreadable: {error}"]
    report("icon", problems, f"group {ICON_GROUP}: 32 x 32 and 16 x 16, 16 colours")

    versions = resources.get((RT_VERSION, 1), {})
    if len(versions) != 1:
        problems = [f"{len(versions)} version records"]
    else:
        try:
            problems = check_version(next(iter(versions.values())))
        except BROKEN as error:
            problems = [f"version record unreadable: {error}"]
    report("version", problems, "1.0.0.1, string table 041103a4, translation 0x411/932")

    report("manifest", manifest_problems(resources),
           f"resource 1: activeCodePage {EXPECTED_MANIFEST[0]}, {EXPECTED_MANIFEST[1]}, "
           f"nothing else")
    return results


def dump(data):
    pe = PeFile(data)
    resources = pe.resources()
    for name in sorted(n for t, n in resources if t == RT_DIALOG):
        for language, template in resources[(RT_DIALOG, name)].items():
            print(f"[language 0x{language:04X}] " + dump_dialog(name, parse_dialog(template)))


def main(argv):
    args = argv[1:]
    show = "--dump" in args
    only_x86_64 = "--x86-64" in args
    paths = [a for a in args if a not in ("--dump", "--x86-64")]
    if not 1 <= len(paths) <= (1 if only_x86_64 else 2):
        print("\n".join(__doc__.strip().splitlines()[2:4]), file=sys.stderr)
        return 2
    formats = (True,) if only_x86_64 else (False, True)
    failed = 0
    for path, pe32_plus in zip(paths, formats):
        try:
            with open(path, "rb") as f:
                data = f.read()
        except OSError as error:
            print(f"FAIL: {path}: {error}")
            failed += 1
            continue
        if show:
            dump(data)
        for name, passed, detail in run_checks(data, pe32_plus):
            print(f"{'ok' if passed else 'FAIL'}: {path}: {name}: {detail}")
            failed += not passed
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
