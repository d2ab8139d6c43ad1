#!/usr/bin/env python3
"""Draws the program icon: a silver disc with a green check mark.

Writes a Windows .ico with two images, 32 x 32 and 16 x 16, 16 colours each (4 bits per
pixel with the standard 16-colour palette), so that the icon looks the same on every
display depth the program may meet. Standard library only; the output is deterministic,
so the committed resources/sumwarden.ico can be checked against this script:

    tools/scripts/make_icon.py resources/sumwarden.ico          # write
    tools/scripts/make_icon.py --check resources/sumwarden.ico  # compare, exit 1 on a difference
"""

import argparse
import math
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREEN, TEAL, SILVER, GRAY, LIME, AQUA, WHITE = 0, 2, 6, 7, 8, 10, 14, 15
TRANSPARENT = None

SIZES = (32, 16)


def segment_distance(px, py, ax, ay, bx, by):
    """Distance from point P to the segment AB."""
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def draw(size):
    """Returns size rows of size palette indexes (or TRANSPARENT), top row first."""
    centre = size / 2.0
    rim = size / 2.0 - 0.5
    hub = size * 0.16
    hole = size * 0.07
    # The check mark, in units of the icon size: short stroke down, long stroke up.
    tick = [(0.38, 0.62), (0.58, 0.82), (0.93, 0.36)]
    tick = [(x * size, y * size) for x, y in tick]
    half_width = max(1.0, size * 0.065)
    outline = max(0.75, size * 0.04)

    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            r = math.hypot(px - centre, py - centre)
            d = min(segment_distance(px, py, *tick[0], *tick[1]),
                    segment_distance(px, py, *tick[1], *tick[2]))
            if d <= half_width:
                colour = LIME if d <= half_width - outline * 0.5 else GREEN
            elif d <= half_width + outline:
                colour = BLACK
            elif r > rim or r < hole:
                colour = TRANSPARENT
            elif r > rim - 1.0 or r < hole + 1.0:
                colour = GRAY
            elif r < hub:
                colour = WHITE
            else:
                # A light reflection across the upper left and lower right of the
                # recorded area, as on a real disc.
                angle = math.degrees(math.atan2(py - centre, px - centre)) % 180.0
                if 115.0 <= angle <= 150.0:
                    colour = AQUA if r < rim * 0.8 else WHITE
                elif 150.0 < angle <= 165.0:
                    colour = TEAL if size >= 32 else AQUA
                else:
                    colour = SILVER
            row.append(colour)
        rows.append(row)
    return rows


def image_bytes(rows):
    """A 4-bit icon image: header, palette, colour bits and mask, bottom row first."""
    size = len(rows)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, colour in enumerate(row):
            index = 0 if colour is TRANSPARENT else colour
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def icon_file():
    images = [(size, image_bytes(draw(size))) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="the .ico file to write or compare")
    parser.add_argument("--check", action="store_true",
                        help="compare with the file instead of writing it")
    args = parser.parse_args()
    data = icon_file()
    if args.check:
        with open(args.output, "rb") as f:
            same = f.read() == data
        print(("ok" if same else "FAIL") + f": {args.output} matches tools/scripts/make_icon.py")
        return 0 if same else 1
    with open(args.output, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
