"""Tests of scripts/resources.py: the icon and cursor files read back
independently of the generator and compared with the pictures, and the
pictures it refuses."""

import os
import struct
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))

import resources  # noqa: E402

ICON_LETTERS = "." + "".join(resources.ICON_COLOURS)
LETTER_OF_COLOUR = {rgb: letter for letter, rgb in resources.ICON_COLOURS.items()}


def generated():
    """The two files as the build writes them."""
    with tempfile.TemporaryDirectory() as out:
        resources.main(["resources.py", out])
        return [read(os.path.join(out, name)) for name in ("ombrevista.ico", "hand.cur")]


def read(path):
    with open(path, "rb") as f:
        return f.read()


def bit(data, row_start, x):
    return data[row_start + x // 8] >> (7 - x % 8) & 1


class Image:
    """One image: its header checked, its pixels and AND mask as top-down rows."""

    def __init__(self, data, offset, size, test):
        fields = struct.unpack_from("<IiiHHIIiiII", data, offset)
        header_size, self.width, height, planes, self.bit_count, compression = fields[:6]
        test.assertEqual((header_size, height, planes, compression), (40, 2 * self.width, 1, 0))
        w = self.width
        self.palette = data[offset + 40:offset + 40 + (8 if self.bit_count == 1 else 0)]
        pixels = offset + 40 + len(self.palette)
        pixel_stride = (w * self.bit_count + 31) // 32 * 4
        mask_stride = (w + 31) // 32 * 4
        mask = pixels + w * pixel_stride
        test.assertEqual(size, mask + w * mask_stride - offset, "the image's size in its directory entry")
        self.rows = [pixels + (w - 1 - y) * pixel_stride for y in range(w)]
        self.mask = [mask + (w - 1 - y) * mask_stride for y in range(w)]
        self.data = data

    def clear(self, x, y):
        return bit(self.data, self.mask[y], x) == 1

    def bgra(self, x, y):
        return self.data[self.rows[y] + 4 * x:self.rows[y] + 4 * x + 4]


def icon_letter(image, x, y):
    b, g, r, a = image.bgra(x, y)
    if image.clear(x, y) != (a == 0):
        return "?"  # the mask and the alpha disagree
    return "." if a == 0 and (b, g, r) == (0, 0, 0) else LETTER_OF_COLOUR.get(r << 16 | g << 8 | b, "?")


def cursor_letter(image, x, y):
    if image.clear(x, y):
        return "."
    return "_" if bit(image.data, image.rows[y], x) else "X"


def draw(image, letter):
    return [
        "".join(letter(image, x, y) for x in range(image.width)) for y in range(image.width)
    ]


class Files(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.icon, cls.cursor = generated()

    def images(self, data, kind):
        """The images of a file, laid one after the other to its very end,
        each with its entry's colour count, planes and bit count words."""
        self.assertEqual(struct.unpack_from("<2H", data), (0, kind))
        (count,) = struct.unpack_from("<H", data, 4)
        at = 6 + 16 * count
        images = []
        for i in range(count):
            w, h, colours, zero, planes, bit_count, size, offset = struct.unpack_from("<4B2H2I", data, 6 + 16 * i)
            self.assertEqual((zero, offset), (0, at))
            at += size
            image = Image(data, offset, size, self)
            self.assertEqual((w, h), (image.width, image.width))
            images.append(((colours, planes, bit_count), image))
        self.assertEqual(at, len(data))
        return images

    def test_icon_holds_both_pictures_as_drawn(self):
        images = self.images(self.icon, 1)
        self.assertEqual([image.width for _, image in images], [32, 16])
        for (fields, image), art in zip(images, (resources.ICON_32, resources.ICON_16)):
            self.assertEqual(fields, (0, 1, 32))
            self.assertEqual(image.bit_count, 32)
            self.assertEqual(draw(image, icon_letter), resources.picture(art, ICON_LETTERS))

    def test_cursor_is_the_hand_as_drawn(self):
        [((colours, _, _), image)] = self.images(self.cursor, 2)
        self.assertEqual((colours, image.bit_count, image.width), (2, 1, 32))
        self.assertEqual(image.palette, bytes(4) + b"\xff\xff\xff\x00")
        art = [row.replace("*", "X") for row in resources.picture(resources.HAND, resources.CURSOR_LETTERS)]
        self.assertEqual(draw(image, cursor_letter), art)

    def test_cursor_hot_spot_is_the_finger_tip(self):
        [((_, x, y), image)] = self.images(self.cursor, 2)
        drawn = draw(image, cursor_letter)
        tip = next((row.find("X"), top) for top, row in enumerate(drawn) if row.strip("."))
        self.assertEqual((x, y), tip)


class Refused(unittest.TestCase):
    def test_bad_pictures(self):
        cases = [
            ("not square", "..\n..\n..", "._X*"),
            ("row too short", "...\n..\n...", "._X*"),
            ("unknown letter", "..\n.Q", "._X*"),
        ]
        for name, art, letters in cases:
            with self.subTest(name), self.assertRaises(ValueError):
                resources.picture(art, letters)

    def test_hot_spot_once(self):
        for name, art in [("none", "..\n.X"), ("two", "*.\n.*")]:
            with self.subTest(name), self.assertRaises(ValueError):
                resources.hot_spot(resources.picture(art, "._X*"))


if __name__ == "__main__":
    unittest.main()
