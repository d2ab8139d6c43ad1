#!/usr/bin/env python3
"""Makes the bundled sample title: two "discs", the installed files, their check list and the
registry values that tell where the installed files are.

    make_sample.py OUT [--install-root C:\\Games\\HoshifuruOka] [--big-mb 48]

writes into OUT:

    disc1/            disc 1: SETUP.EXE, README.TXT, DATA\\SCENE.DAT (the large file)
    disc2/            disc 2: DATA\\VOICE.DAT, DATA\\BGM.DAT
    disc1-damaged/    disc 1 with README.TXT missing (the disc check fails on it)
    installed/        HOSHI.EXE, DATA\\SYSTEM.DAT, SAVE\\CONFIG.INI
    installed-damaged/  the same with one byte of DATA\\SYSTEM.DAT changed (same size)
    crclist.INF       the check list, Shift-JIS, CRLF line ends
    sample.reg        the title's registry key and one value per installed file (UTF-16 .reg)

The file contents are pseudo-random but the same on every run, so that the check list is too.
Running it again rewrites everything in place.
"""

import argparse
import os
import random
import shutil
import sys
import zlib

TITLE = "サンプルゲーム「星降る丘」"
GAME_KEY = r"Software\KiboriSoft\HoshifuruOka"
DEFAULT_INSTALL_ROOT = r"C:\Games\HoshifuruOka"

# The menu's text area is about twenty full-width characters wide: one thought per line.
MESSAGE_LINES = [
    "「星降る丘」のファイルをチェックします。",
    " ",
    "CD/DVDのチェック：",
    "　ディスクのファイルを調べます。",
    "ファイルのチェック：",
    "　インストールしたファイルを調べます。",
    " ",
    "チェックする対象を選んでください。",
]
DRIVE_PROMPTS = [
    ["ディスク1をドライブに入れてください。", "ドライブを選んでOKを押してください。"],
    ["ディスク2をドライブに入れてください。", "入れたらOKを押してください。"],
]

README_TEXT = (
    "サンプルゲーム「星降る丘」\r\n"
    "\r\n"
    "このディスクはファイルチェックの見本です。\r\n"
    "ゲームの内容は入っていません。\r\n"
)
CONFIG_TEXT = "[Config]\r\nScreen=Window\r\nVolume=80\r\nName=ほしふる\r\n"

MIB = 1 << 20


def noise(seed, size):
    """Deterministic incompressible bytes. One mebibyte of random data, rotated differently
    for every mebibyte, keeps a large file quick to make."""
    block = random.Random(seed).randbytes(min(size, MIB))
    parts = []
    produced = 0
    index = 0
    while produced < size:
        shift = (index * 4099) % len(block)
        chunk = block[shift:] + block[:shift]
        parts.append(chunk[: size - produced])
        produced += len(parts[-1])
        index += 1
    return b"".join(parts)


def disc_files(big_mb):
    disc1 = [
        ("SETUP.EXE", noise("setup", 300 * 1024)),
        ("README.TXT", README_TEXT.encode("cp932")),
        ("DATA\\SCENE.DAT", noise("scene", big_mb * MIB)),
    ]
    disc2 = [
        ("DATA\\VOICE.DAT", noise("voice", 3 * MIB)),
        ("DATA\\BGM.DAT", noise("bgm", 2 * MIB)),
    ]
    return [disc1, disc2]


def installed_files():
    # (registry value name, path below the install root, content)
    return [
        ("ProgramFile", "HOSHI.EXE", noise("hoshi", 400 * 1024)),
        ("SystemData", "DATA\\SYSTEM.DAT", noise("system", 4 * MIB)),
        ("ConfigFile", "SAVE\\CONFIG.INI", CONFIG_TEXT.encode("cp932")),
    ]


def write_file(folder, name, content):
    path = os.path.join(folder, *name.split("\\"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(content)


def fresh_folder(path):
    if os.path.lexists(path):
        if os.path.isdir(path) and not os.path.islink(path):
            shutil.rmtree(path)
        else:
            os.remove(path)
    os.makedirs(path)


def entry(name, content):
    return "%s, %d, %08X" % (name, len(content), zlib.crc32(content) & 0xFFFFFFFF)


def quoted(text):
    # Apostrophes delimit a value; none of the sample's texts holds one.
    assert "'" not in text
    return "'%s'" % text


def check_list(discs, installed):
    lines = ["[TITLE]", quoted(TITLE), "[GAME]", GAME_KEY, "[MESSAGE]"]
    lines += [quoted(line) for line in MESSAGE_LINES]
    for prompt in DRIVE_PROMPTS:
        lines.append("[DRIVEINFO]")
        lines += [quoted(line) for line in prompt]
    for files in discs:
        lines.append("[CDFILES]")
        lines += [entry(name, content) for name, content in files]
    lines.append("[REG]")
    lines += [entry(value, content) for value, _, content in installed]
    # The last token must be followed by whitespace: end with a line break.
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def registry_file(install_root, installed):
    def reg_string(text):
        return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')

    lines = ["Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\%s]" % GAME_KEY]
    for value, relative, _ in installed:
        lines.append("%s=%s" % (reg_string(value), reg_string(install_root + "\\" + relative)))
    # UTF-16 with a byte-order mark: the form that reg import reads whatever the locale.
    return ("\r\n".join(lines) + "\r\n").encode("utf-16")


def make(out, install_root, big_mb):
    discs = disc_files(big_mb)
    installed = installed_files()
    os.makedirs(out, exist_ok=True)

    for number, files in enumerate(discs, start=1):
        folder = os.path.join(out, "disc%d" % number)
        fresh_folder(folder)
        for name, content in files:
            write_file(folder, name, content)

    # Disc 1 as a user might have it after a bad copy: README.TXT is missing. The large file
    # comes after it in the list, so a hard link is enough and costs no space.
    damaged = os.path.join(out, "disc1-damaged")
    fresh_folder(damaged)
    for name, content in discs[0]:
        if name == "README.TXT":
            continue
        source = os.path.join(out, "disc1", *name.split("\\"))
        target = os.path.join(damaged, *name.split("\\"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        try:
            os.link(source, target)
        except OSError:
            shutil.copyfile(source, target)

    for folder_name, damage in (("installed", False), ("installed-damaged", True)):
        folder = os.path.join(out, folder_name)
        fresh_folder(folder)
        for value, relative, content in installed:
            if damage and value == "SystemData":
                # One changed byte in the middle: same size, wrong CRC.
                middle = len(content) // 2
                content = content[:middle] + bytes([content[middle] ^ 0xFF]) + content[middle + 1:]
            write_file(folder, relative, content)

    with open(os.path.join(out, "crclist.INF"), "wb") as inf:
        inf.write(check_list(discs, installed))
    with open(os.path.join(out, "sample.reg"), "wb") as reg:
        reg.write(registry_file(install_root, installed))


def main(argv):
    parser = argparse.ArgumentParser(description="Make the sample title.")
    parser.add_argument("out", help="folder to write into (created if missing)")
    parser.add_argument("--install-root", default=DEFAULT_INSTALL_ROOT,
                        help="Windows path under which the installed files are seen")
    parser.add_argument("--big-mb", type=int, default=48,
                        help="size of disc 1's large file in MiB (long enough to watch the bar)")
    args = parser.parse_args(argv)
    if args.big_mb < 1:
        parser.error("--big-mb must be at least 1")
    make(args.out, args.install_root, args.big_mb)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
