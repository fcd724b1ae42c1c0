#!/usr/bin/env python3
"""Draws the resources every program built on the runtime carries, from the
pictures below, into files for the resource compiler: the icon "DEFAULT_ICON"
(ombrevista.ico, 32x32 and 16x16) and the link cursor 1032 (hand.cur).
Nothing binary is checked in; edit the pictures.

Usage: resources.py OUT_DIR
"""

import os
import struct
import sys

# The icon: a screen of text being played, with a play triangle and a
# progress bar. Letter -> RGB; "." is transparent.
ICON_COLOURS = {
    "o": 0x4E5F73,  # frame, light enough to show on a dark background
    "s": 0x1C2733,  # screen
    "d": 0x6F8398,  # the line already played
    "t": 0xE3EAF2,  # text
    "p": 0xF4B13E,  # play triangle and the elapsed part of the bar
    "b": 0x3A4A5C,  # the rest of the bar
}

ICON_32 = """
................................
................................
..oooooooooooooooooooooooooooo..
.osssssssssssssssssssssssssssso.
.osssssssssssssssssssssssssssso.
.osssssssssssssssssssssssssssso.
.osssdddddssdddddddssddddddssso.
.osssdddddssdddddddssddddddssso.
.osssssssssssssssssssssssssssso.
.osssssssssssssssssssssssssssso.
.ossstttttttssttttsstttttttssso.
.ossstttttttssttttsstttttttssso.
.osssssssssssssssssssssssssssso.
.osssssssssssssssssssssssssssso.
.osssttttsstttttttttsssssssssso.
.osssttttsstttttttttsssssssssso.
.osssssssssssssssssssssssssssso.
.osssssssssssssssssssssssssssso.
.ossspsssssssssssssssssssssssso.
.ossspppsssssssssssssssssssssso.
.osssppppssssssssssssssssssssso.
.osssppppppssssppppppbbbbbbssso.
.ossspppppppsssppppppbbbbbbssso.
.osssppppppssssppppppbbbbbbssso.
.osssppppssssssssssssssssssssso.
.ossspppsssssssssssssssssssssso.
.ossspsssssssssssssssssssssssso.
.osssssssssssssssssssssssssssso.
.osssssssssssssssssssssssssssso.
..oooooooooooooooooooooooooooo..
................................
................................
"""

ICON_16 = """
................
.oooooooooooooo.
osssssssssssssso
ossdddsdddddssso
osssssssssssssso
ossttttstttttsso
osssssssssssssso
osspssssssssssso
ossppsssssssssso
osspppssppbbbsso
osspppssppbbbsso
ossppsssssssssso
osspssssssssssso
osssssssssssssso
.oooooooooooooo.
................
"""

# The link cursor: "X" black, "_" white, "." transparent; "*" is black and
# marks the hot spot, the tip of the pointing finger.
HAND = """
.....*X.........................
....X__X........................
....X__X........................
....X__X........................
....X__XXX......................
....X__X__X.....................
....X__X__XXX...................
....X__X__X__X..................
....X__X__X__XXX................
.XX.X__X__X__X__X...............
X__XX__X__X__X__X...............
X___X___________X...............
.X__X___________X...............
.X______________X...............
..X_____________X...............
..X____________X................
...X___________X................
...X__________X.................
....X_________X.................
....X_________X.................
....XXXXXXXXXXX.................
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
................................
"""

CURSOR_LETTERS = "._X*"


def picture(art, letters):
    """The rows of a square picture drawn with the given letters."""
    rows = art.strip("\n").split("\n")
    if any(len(row) != len(rows) for row in rows):
        raise ValueError(f"a picture of {len(rows)} rows is not square")
    if not set("".join(rows)) <= set(letters):
        raise ValueError(f"a picture uses letters other than {letters!r}")
    return rows


def hot_spot(rows):
    spots = [(x, y) for y, row in enumerate(rows) for x, c in enumerate(row) if c == "*"]
    if len(spots) != 1:
        raise ValueError("the cursor needs exactly one hot spot \"*\"")
    return spots[0]


def bits(flags):
    """One row of a 1-bit bitmap: first pixel in the high bit, padded to 32 bits."""
    width = (len(flags) + 31) // 32 * 4
    value = int("".join("1" if f else "0" for f in flags), 2)
    return (value << (width * 8 - len(flags))).to_bytes(width, "big")


def bottom_up(rows, encode_row):
    return b"".join(encode_row(row) for row in reversed(rows))


def bitmap_header(size, bit_count, image_bytes):
    # The height counts the image and the AND mask stacked on it.
    return struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bit_count, 0, image_bytes, 0, 0, 0, 0)


def bgra(letter):
    return bytes(4) if letter == "." else struct.pack("<I", 0xFF000000 | ICON_COLOURS[letter])


def icon_image(rows):
    """32-bit pixels, opaque or clear, and an AND mask set where clear."""
    pixels = bottom_up(rows, lambda row: b"".join(bgra(c) for c in row))
    mask = bottom_up(rows, lambda row: bits([c == "." for c in row]))
    return bitmap_header(len(rows), 32, len(pixels) + len(mask)) + pixels + mask


def cursor_image(rows):
    """1-bit pixels on a black and white palette, and an AND mask set where clear."""
    pixels = bottom_up(rows, lambda row: bits([c == "_" for c in row]))
    mask = bottom_up(rows, lambda row: bits([c == "." for c in row]))
    palette = struct.pack("<2I", 0x000000, 0xFFFFFF)
    return bitmap_header(len(rows), 1, len(pixels) + len(mask)) + palette + pixels + mask


def directory(kind, entries):
    """An icon (kind 1) or cursor (kind 2) file. Each entry is (size, colour
    count, planes, bit count, image); a cursor keeps its hot spot's x and y in
    the planes and bit count words."""
    offset = 6 + 16 * len(entries)
    head, images = struct.pack("<3H", 0, kind, len(entries)), b""
    for size, colours, planes, bit_count, image in entries:
        head += struct.pack("<4B2H2I", size, size, colours, 0, planes, bit_count, len(image), offset + len(images))
        images += image
    return head + images


def icon_file():
    letters = "." + "".join(ICON_COLOURS)
    pictures = [picture(art, letters) for art in (ICON_32, ICON_16)]
    return directory(1, [(len(rows), 0, 1, 32, icon_image(rows)) for rows in pictures])


def cursor_file():
    rows = picture(HAND, CURSOR_LETTERS)
    x, y = hot_spot(rows)
    return directory(2, [(len(rows), 2, x, y, cursor_image(rows))])


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: resources.py OUT_DIR")
    os.makedirs(argv[1], exist_ok=True)
    for name, make in (("ombrevista.ico", icon_file), ("hand.cur", cursor_file)):
        try:
            data = make()
        except ValueError as e:
            sys.exit(f"resources.py: {name}: {e}")
        with open(os.path.join(argv[1], name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv)
