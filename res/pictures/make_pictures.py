#!/usr/bin/env python3
"""Writes Lumaret's icons and cursor from the pixel art below.

Each picture is a grid of characters, one per pixel, top row first; its legend maps a character to a
colour (R, G, B) or to None for a transparent pixel. Run it after changing a drawing:

    python3 res/pictures/make_pictures.py

and commit the drawing together with the files it writes beside this script.
"""

import os
import struct

CYAN = (0, 255, 255)
BLACK = (0, 0, 0)

# Icon 128: the program's icon, a treble clef and two beamed quavers.
PROGRAM = {
    "size": (32, 32),
    "legend": {".": CYAN, "#": BLACK},
    "art": """
................................
.......##.......................
......#..#......................
......#..#......................
......#..#.........###########..
......#.##.........###########..
......#.#..........###########..
......###..........##.......##..
.....###...........##.......##..
....###............##.......##..
...##.#............##.......##..
..##..#............##.......##..
.##...####.........##.......##..
.#...##.#.##.......##.......##..
.#..##..#..##......##.......##..
.#..#...#...#......##.......##..
.#..#...#...#......##.......##..
.#...#..#..##......##.......##..
.##.....#.##.......##.....####..
..###...###........##...######..
....#####..........##..######...
........#........####..####.....
........#......######...........
........#.....######............
........#.....####..............
...##...#.......................
..####..#.......................
..####..#.......................
...##..#........................
....###.........................
................................
................................
""",
}

# Icon 129: the open button, a green arrow going down into an open folder.
OPEN = {
    "size": (16, 16),
    "legend": {
        ".": None,
        "k": BLACK,
        "Y": (192, 160, 0),
        "y": (255, 224, 64),
        "g": (0, 176, 0),
    },
    "art": """
.........kkkk...
.........kggk...
.........kggk...
.kkkk..kkkggkkk.
kYYYYk..kggggk..
kYYYYYkkkkggkkk.
kYYYYYYYYYkkYYk.
kYYYYYYYYYYYYYk.
kYYkkkkkkkkkkkkk
kYkyyyyyyyyyyyyk
kYkyyyyyyyyyyyk.
kkyyyyyyyyyyyyk.
kkyyyyyyyyyyyk..
kkyyyyyyyyyyyk..
kkkkkkkkkkkkkk..
................
""",
}

# Icon 131: the save button, a blue floppy disk.
SAVE = {
    "size": (14, 14),
    "legend": {
        ".": None,
        "k": BLACK,
        "b": (0, 64, 208),
        "n": (0, 0, 96),
        "s": (192, 192, 192),
        "w": (255, 255, 255),
        "l": (128, 128, 128),
    },
    "art": """
kkkkkkkkkkkkk.
kbnsssssssnbbk
kbnsssssnsnbbk
kbnsssssnsnbbk
kbnsssssssnbbk
kbbnnnnnnnbbbk
kbbbbbbbbbbbbk
kbbbbbbbbbbbbk
kbnnnnnnnnnnbk
kbnwwwwwwwwnbk
kbnwllllllwnbk
kbnwwwwwwwwnbk
kbnwllllllwnbk
kkkkkkkkkkkkkk
""",
}

# Cursor 109: a pointing hand; its hot spot is the tip of the index finger.
HAND = {
    "size": (32, 32),
    "hotspot": (6, 0),
    "legend": {".": None, "k": BLACK, "w": (255, 255, 255)},
    "art": """
.....kk.........................
....kwwk........................
....kwwk........................
....kwwk........................
....kwwk........................
....kwwkkk......................
....kwwkwwkkk...................
....kwwkwwkwwkk.................
....kwwkwwkwwkwk................
.kk.kwwkwwkwwkwwk...............
kwwkkwwwwwwwwwwwk...............
kwwwkwwwwwwwwwwwk...............
.kwwkwwwwwwwwwwwk...............
..kwwwwwwwwwwwwwk...............
..kwwwwwwwwwwwwwk...............
...kwwwwwwwwwwwwk...............
...kwwwwwwwwwwwk................
....kwwwwwwwwwwk................
....kwwwwwwwwwk.................
.....kwwwwwwwwk.................
.....kwwwwwwwwk.................
.....kkkkkkkkkk.................
................................
................................
................................
................................
................................
................................
................................
................................
................................
................................
""",
}


def rows_of(picture):
    width, height = picture["size"]
    rows = picture["art"].strip("\n").split("\n")
    if len(rows) != height or any(len(r) != width for r in rows):
        raise ValueError("drawing is not %dx%d" % (width, height))
    for row in rows:
        for ch in row:
            if ch not in picture["legend"]:
                raise ValueError("no colour for %r" % ch)
    return rows


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def pack_bits(bits):
    out = bytearray((len(bits) + 7) // 8)
    for i, bit in enumerate(bits):
        if bit:
            out[i // 8] |= 0x80 >> (i % 8)
    return bytes(out)


def dib(width, height, bit_count, palette, xor_rows, and_rows):
    """An icon image: header with doubled height, palette, colour rows and mask rows, both bottom up."""
    xor = b"".join(padded(r) for r in reversed(xor_rows))
    mask = b"".join(padded(r) for r in reversed(and_rows))
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bit_count, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + colours + xor + mask


def icon_256(picture):
    width, height = picture["size"]
    rows = rows_of(picture)
    colours = [c for c in dict.fromkeys(picture["legend"].values()) if c is not None]
    palette = colours + [BLACK] * (256 - len(colours))
    index = {ch: (0 if c is None else colours.index(c)) for ch, c in picture["legend"].items()}
    xor_rows = [bytes(index[ch] for ch in row) for row in rows]
    and_rows = [pack_bits([picture["legend"][ch] is None for ch in row]) for row in rows]
    image = dib(width, height, 8, palette, xor_rows, and_rows)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 8, len(image), 6 + 16)
    return struct.pack("<HHH", 0, 1, 1) + entry + image


def cursor_mono(picture):
    width, height = picture["size"]
    rows = rows_of(picture)
    white = (255, 255, 255)
    for colour in picture["legend"].values():
        if colour not in (None, BLACK, white):
            raise ValueError("a monochrome cursor is black, white and transparent")
    xor_rows = [pack_bits([picture["legend"][ch] == white for ch in row]) for row in rows]
    and_rows = [pack_bits([picture["legend"][ch] is None for ch in row]) for row in rows]
    image = dib(width, height, 1, [BLACK, white], xor_rows, and_rows)
    x, y = picture["hotspot"]
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 2, 0, x, y, len(image), 6 + 16)
    return struct.pack("<HHH", 0, 2, 1) + entry + image


OUTPUTS = [
    ("lumaret.ico", icon_256, PROGRAM),
    ("open.ico", icon_256, OPEN),
    ("save.ico", icon_256, SAVE),
    ("hand.cur", cursor_mono, HAND),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, make, picture in OUTPUTS:
        with open(os.path.join(here, name), "wb") as f:
            f.write(make(picture))


if __name__ == "__main__":
    main()
