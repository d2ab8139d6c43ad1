#!/usr/bin/env python3
"""Turns program_interface.json into a C++ header for the Windows test programs and the e2e
driver: the main window's class, the template and icon ids, one constant per named control
and a table from name to id, so that scripts may name controls as well as number them.

    make_header.py program_interface.json OUTPUT.h
"""

import json
import sys


def cpp_string(text):
    # The header is compiled like every source, UTF-8 in and Shift-JIS out.
    return json.dumps(text, ensure_ascii=False)


def header(table):
    lines = [
        "// Generated from tests/interface/program_interface.json by make_header.py: edit the table,",
        "// not this file.",
        "#pragma once",
        "",
        "namespace program {",
        "",
        f"inline constexpr char kMainWindowClass[] = {cpp_string(table['mainWindowClass'])};",
        f"inline constexpr int kIconGroup = {table['iconGroup']};",
    ]
    for dialog in table["dialogs"]:
        name = dialog["name"].capitalize()
        lines.append(f"inline constexpr int k{name}Template = {dialog['template']};")
    lines += ["", "// Each dialog's controls, named for what they are.", "namespace control {"]
    names = []
    for dialog in table["dialogs"]:
        for control in dialog["controls"]:
            if control["name"] in names:
                raise SystemExit(f"control name {control['name']} is given twice")
            names.append(control["name"])
            lines.append(f"inline constexpr int {control['name']} = {control['id']};")
    lines += ["}  // namespace control", "",
              "struct ControlName {", "    const char* name;", "    int id;", "};",
              "inline constexpr ControlName kControlNames[] = {"]
    for dialog in table["dialogs"]:
        for control in dialog["controls"]:
            lines.append(f"    {{\"{control['name']}\", {control['id']}}},")
    lines += ["};", "", "}  // namespace program", ""]
    return "\n".join(lines)


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        table = json.load(f)
    text = header(table)
    try:
        with open(argv[2], encoding="utf-8") as f:
            if f.read() == text:
                return 0  # unchanged: keep the file's time, so nothing rebuilds
    except OSError:
        pass
    with open(argv[2], "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
