"""Tests of scripts/formc.py: the compiled window descriptions, byte for byte
where it matters, the layout of the whole form data, and the errors."""

import io
import os
import re
import struct
import sys
import tempfile
import unittest
from contextlib import redirect_stderr

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))

import formc  # noqa: E402

FORM_NAMES = ("main.form", "about.form", "font.form", "config.form")
FORMS = [os.path.join(ROOT, "forms", n) for n in FORM_NAMES]
WINDOW_IDS = (0x52010001, 0x5201000E, 0x52010019, 0x52010130)
HANDLERS = [
    "OnAboutMenu", "OnConfigCreated", "OnConfigDrop", "OnConfigStart", "OnFontCreated", "OnFontMenu",
    "OnFontOk", "OnFontSizeSpin", "OnFontSizeWheel", "OnFrameRateWheel", "OnMainCreated", "OnMainDrop",
    "OnMainResized", "OnOpen", "OnPauseContinue", "OnSelectBgm", "OnStart", "OnStop", "OnUseBgmClicked",
]
NONE = 0xFFFFFFFF


def read_text(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def u32(*values):
    return b"".join(struct.pack("<I", v & 0xFFFFFFFF) for v in values)


def counted(data):
    return u32(len(data)) + data


def logfont(height, weight, charset):
    return struct.pack("<5i8B", height, 0, 0, 0, weight, 0, 0, 0, charset, 0, 0, 0, 0) + bytes(32)


class Template:
    """One window template read back from the form data, independently of the compiler."""

    def __init__(self, data, at):
        self.reserved, self.module = struct.unpack_from("<2I", data, at)
        at += 8
        self.remarks = []
        for _ in range(2):
            (n,) = struct.unpack_from("<I", data, at)
            self.remarks.append(data[at + 4:at + 4 + n])
            at += 4 + n
        self.count, size = struct.unpack_from("<2I", data, at)
        self.buffer = data[at + 8:at + 8 + size]
        self.end = at + 8 + size
        self.ids = list(struct.unpack_from(f"<{self.count}I", self.buffer, 0))
        self.offsets = list(struct.unpack_from(f"<{self.count}I", self.buffer, 4 * self.count))

    def record_start(self, index):
        return 8 * self.count + self.offsets[index]

    def body(self, index):
        start = self.record_start(index)
        (length,) = struct.unpack_from("<I", self.buffer, start)
        return self.buffer[start + 4:start + 4 + length]

    def body_of(self, unit_id):
        return self.body(self.ids.index(unit_id))


def read_form_data(data):
    (map_bytes,) = struct.unpack_from("<I", data, 0)
    ids = struct.unpack_from(f"<{map_bytes // 8}I", data, 4)
    templates, at = {}, 4 + map_bytes
    for window_id in ids:
        templates[window_id] = Template(data, at)
        at = templates[window_id].end
    return ids, templates, at


class CompiledFormsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.compiled = formc.compile_forms(FORMS)
        cls.data = cls.compiled.data
        cls.ids, cls.templates, cls.end = read_form_data(cls.data)

    def handler(self, name):
        return HANDLERS.index(name)

    def assertBytes(self, expected, actual):
        self.assertEqual(expected.hex(" "), actual.hex(" "))

    def test_map_lists_the_four_windows_start_window_first(self):
        self.assertBytes(u32(32, *WINDOW_IDS, 0, 0, 0, 0), self.data[:36])

    def test_templates_fill_the_data_in_map_order(self):
        self.assertEqual(list(WINDOW_IDS), list(self.ids))
        self.assertEqual(len(self.data), self.end)
        self.assertEqual(5466, len(self.data), "the size the program descriptor states")

    def test_handler_table_is_every_bound_handler_sorted(self):
        self.assertEqual(HANDLERS, self.compiled.handlers)

    def test_template_headers(self):
        for window_id, count in zip(WINDOW_IDS, (14, 3, 4, 10)):
            t = self.templates[window_id]
            with self.subTest(window=hex(window_id)):
                self.assertEqual((0, 0, [b"", b""], count), (t.reserved, t.module, t.remarks, t.count))

    def test_layout_invariants(self):
        for window_id, t in self.templates.items():
            with self.subTest(window=hex(window_id)):
                self.assertEqual(0, t.offsets[0])
                for i in range(t.count):
                    start = t.record_start(i)
                    following = t.record_start(i + 1) if i + 1 < t.count else len(t.buffer)
                    self.assertEqual(following, start + 4 + len(t.body(i)), f"record {i} does not end where the next begins")
                kinds = [unit_id >> 24 for unit_id in t.ids]
                units = kinds.count(0x16)
                self.assertEqual([0x06] + [0x16] * units + [0x26] * (t.count - 1 - units), kinds,
                                 "the window record, the units, then the menu run")

    def test_main_unit_list_order(self):
        self.assertEqual([0x06010000, 0x16010145, 0x16010031, 0x16010015, 0x16010009,
                          0x26010002, 0x26010003, 0x26010004, 0x26010005, 0x26010006,
                          0x26010012, 0x26010013, 0x26010007, 0x26010008], self.templates[0x52010001].ids)

    def menu_body(self, caption, shortcut, level, flags, handler):
        return u32(0x00010003) + bytes(20) + b"\0\0" + u32(shortcut, level, flags) + caption + b"\0" + u32(handler) + bytes(16)

    def test_menu_records(self):
        main = self.templates[0x52010001]
        cases = [
            (0x26010002, b"File", 0, 0, 0, NONE),
            (0x26010003, b"Open", 15, 1, 0, self.handler("OnOpen")),
            (0x26010004, b"Start", 26, 1, 2, self.handler("OnStart")),
            (0x26010005, b"Pause/Continue", 24, 1, 2, self.handler("OnPauseContinue")),
            (0x26010006, b"Stop", 3, 1, 2, self.handler("OnStop")),
            (0x26010012, b"Setting", 0, 0, 0, NONE),
            (0x26010013, b"Font", 6, 1, 0, self.handler("OnFontMenu")),
            (0x26010007, b"Help", 0, 0, 0, NONE),
            (0x26010008, b"About", 0, 1, 0, self.handler("OnAboutMenu")),
        ]
        for unit_id, *fields in cases:
            with self.subTest(caption=fields[0]):
                self.assertBytes(self.menu_body(*fields), main.body_of(unit_id))

    def test_open_record_bytes_in_place(self):
        # The record follows the window record and the four units; its length word comes first.
        main = self.templates[0x52010001]
        start = main.record_start(6)
        self.assertBytes(u32(63) + self.menu_body(b"Open", 15, 1, 0, 13), main.buffer[start:start + 4 + 63])

    def unit_head(self, type_code, name, rect, flags, tab_order, events):
        head = u32(type_code, 0, 0, 0, 0, 0) + name + b"\0" + b"\0" + u32(0, *rect, 0, 0, 0)
        head += u32(4, 0) + b"\0" + u32(0, flags, tab_order, len(events))
        for number, handler in events:
            head += u32(number, self.handler(handler))
        return head + bytes(20)

    def editbox_blob(self, border, multi, scroll, align, mode, max_length, adjust, lo, hi, font, content):
        return (u32(2, border, 0, 0xFFFFFF, 1, max_length, multi, scroll, align, mode) + struct.pack("<H", 42)
                + u32(0, adjust, lo, hi, 0, 0) + counted(font) + counted(content) + counted(b"") + counted(b""))

    def test_main_editbox_record(self):
        expected = self.unit_head(0x00010005, "编辑框1".encode("gbk"), (0, 0, 605, 470), 5, 1, [])
        expected += self.editbox_blob(1, 1, 3, 0, 0, 0, 0, 0, 100, logfont(-3, 400, 134), b"")
        body = self.templates[0x52010001].body_of(0x16010009)
        self.assertBytes(expected, body)
        self.assertEqual(103 + 7 + 142, len(body))

    def test_font_editbox_record_binds_wheel_and_spin(self):
        expected = self.unit_head(0x00010005, "编辑框1".encode("gbk"), (52, 16, 46, 26), 5, 1,
                                  [(-12, "OnFontSizeWheel"), (1, "OnFontSizeSpin")])
        expected += self.editbox_blob(1, 0, 0, 1, 6, 2, 2, 1, 99, logfont(-16, 400, 134), b"")
        self.assertBytes(expected, self.templates[0x52010019].body_of(0x1601001A))

    def test_config_frame_rate_box(self):
        expected = self.unit_head(0x00010005, "编辑框2".encode("gbk"), (88, 42, 44, 24), 5, 2, [(-12, "OnFrameRateWheel")])
        expected += self.editbox_blob(1, 0, 0, 1, 3, 2, 1, 1, 50, b"", b"20")
        self.assertBytes(expected, self.templates[0x52010130].body_of(0x1601016A))

    def blob_of(self, window_id, unit_id, length):
        return self.templates[window_id].body_of(unit_id)[-length:]

    def test_status_bar_blob(self):
        parts = u32(2) + u32(185, 0x100, NONE) + b"Wait\0\0" + u32(429, 0x100, NONE) + b"Item\0\0"
        expected = u32(1, 0xFF000000, 0, 0, 0, 0) + counted(parts)
        self.assertEqual(40, len(parts))
        self.assertBytes(expected, self.blob_of(0x52010001, 0x16010015, 68))

    def test_drop_target_blobs(self):
        for window_id, unit_id in ((0x52010001, 0x16010031), (0x52010130, 0x1601015A)):
            with self.subTest(window=hex(window_id)):
                self.assertBytes(u32(1, 0, 0, 0, 1), self.blob_of(window_id, unit_id, 20))

    def test_media_play_has_no_blob(self):
        body = self.templates[0x52010001].body_of(0x16010145)
        self.assertBytes(self.unit_head(0x00070006, "媒体播放1".encode("gbk"), (536, 280, 26, 26), 1, 4, []), body)

    def test_common_dialog_blob(self):
        expected = u32(1, 0, 0, 0, 1, 1, 1, 0, 0x80, 0, 0, 0, 0, 0, 0, 0)
        expected += counted(b"Select BGM File") + counted(b"") + counted(b"MP3(*.mp3)|*.mp3") + counted(b"") * 4
        self.assertEqual(123, len(expected))
        self.assertBytes(expected, self.blob_of(0x52010130, 0x16010138, 123))

    def test_config_buttons_and_check_box(self):
        config = self.templates[0x52010130]
        select = self.unit_head(0x0001000B, "按钮1".encode("gbk"), (238, 44, 44, 28), 7, 4, [(0, "OnSelectBgm")])
        select += u32(1, 0, 1, 1) + counted(b"") + counted(b"") + counted(b"Select")
        self.assertBytes(select, config.body_of(0x16010137))
        check = u32(2, 0, 0, 0, 0, 1, 0, 0xFF000000, 0) + counted(b"") * 2 + counted(b"Use BGM") + counted(b"") * 2
        self.assertBytes(check, config.body_of(0x16010136)[-len(check):])

    def window_blob(self, border, max_min, taskbar, title):
        return (u32(6, border, 1, 0xFF000000, max_min, max_min, 1, 1, 1, 0, 0, 1, 0, 0, taskbar, 0, 0, 0, 0)
                + counted(b"") * 4 + counted(title) + counted(b""))

    def test_window_records(self):
        cases = [
            (0x52010001, 0x06010000, (620, 550), [(0, "OnMainCreated"), (4, "OnMainResized")], self.window_blob(1, 1, 1, b"Ombrevista")),
            (0x5201000E, 0x0601000D, (158, 94), [], self.window_blob(4, 0, 0, b"About")),
            (0x52010019, 0x06010018, (178, 85), [(0, "OnFontCreated")], self.window_blob(4, 0, 1, b"Font")),
            (0x52010130, 0x0601012F, (298, 110), [(0, "OnConfigCreated")], self.window_blob(4, 0, 0, b"Config")),
        ]
        for window_id, record_id, size, events, blob in cases:
            with self.subTest(window=hex(window_id)):
                t = self.templates[window_id]
                self.assertEqual(record_id, t.ids[0])
                self.assertBytes(self.unit_head(0x00010001, b"", (50, 50, *size), 1, 0, events) + blob, t.body(0))

    def test_about_note_is_two_lines_drawn_with_word_wrap(self):
        blob = self.templates[0x5201000E].body_of(0x1601000F)[103 + len("标签1".encode("gbk")):]
        self.assertEqual(1, struct.unpack_from("<17I", blob)[16], "word wrap keeps the line break")
        (length,) = struct.unpack_from("<I", blob, 68 + 4 + 4)
        caption = blob[80:80 + length]
        self.assertEqual(2, len(caption.split(b"\r\n")))
        self.assertEqual(counted(b"") * 2, blob[80 + length:])


class GeneratedSourcesTest(unittest.TestCase):
    def test_sources_hold_the_compiled_data_and_table(self):
        with tempfile.TemporaryDirectory() as out:
            self.assertEqual(0, formc.main(["--out-dir", out, *FORMS]))
            sources = {n: read_text(os.path.join(out, n)) for n in formc.OUTPUTS}
        data = formc.compile_forms(FORMS).data
        array = re.search(r"kFormData\[\] = \{(.*?)\};", sources["form_data.cpp"], re.S).group(1)
        array = re.sub(r"//[^\n]*", "", array)
        self.assertEqual(data, bytes(int(b, 16) for b in re.findall(r"0x([0-9a-f]{2})", array)))
        self.assertIn(f"kFormDataSize = {len(data)};", sources["form_data.cpp"])
        table = re.findall(r"^    (\w+),  // (\d+)$", sources["handler_table.cpp"], re.M)
        self.assertEqual([(n, str(i)) for i, n in enumerate(HANDLERS)], table)
        self.assertIn("void OnOpen(rt::HandlerCall& call);", sources["handler_table.cpp"])
        self.assertIn('#include "runtime/program.h"', sources["handler_table.cpp"])
        names = re.findall(r'^    "(\w+)",', sources["handler_names.cpp"], re.M)
        self.assertEqual(HANDLERS, names)
        self.assertIn("    nullptr,\n};", sources["handler_names.cpp"])
        for text in sources.values():
            self.assertTrue(text.startswith("// Generated by scripts/formc.py from main.form, about.form"))


class ErrorsTest(unittest.TestCase):
    """Each case breaks one real description by replacing one text. The line
    the error must name is given by a marker: the first line of the broken
    text that contains it; {marker} in the message stands for such a line."""

    CASES = [
        ("unknown type", "about.form", "type         HyperLinker", "type         HyperLink",
         "type         HyperLink", "unknown unit type 'HyperLink'"),
        ("unknown field", "main.form", "scroll-bars     3", "scrollbars      3",
         "scrollbars", "unknown field 'scrollbars' for unit EditBox1"),
        ("missing field", "main.form", "size-grip    no\n", "",
         "[unit StatusBar1]", "missing field 'size-grip' in unit StatusBar1"),
        ("field twice", "font.form", 'caption      "OK"', 'caption      "OK"\ncaption      "Go"',
         '"Go"', "field 'caption' given twice in unit Button1 (first at line {\"OK\"})"),
        ("duplicate unit ID", "main.form", "id           0x16010031", "id           0x16010145",
         "[unit DropTarget1]", "duplicate unit ID 0x16010145 (first at line {[unit MediaPlay1]})"),
        ("duplicate menu item ID", "main.form", "item 0x26010008", "item 0x26010002",
         '"About"', "duplicate unit ID 0x26010002 (first at line {item 0x26010002})"),
        ("bad shortcut", "main.form", "shortcut=Ctrl+O", "shortcut=Ctrl+0",
         "Ctrl+0", "bad shortcut name 'Ctrl+0'"),
        ("level jump", "main.form", "item 0x26010003 level=1", "item 0x26010003 level=2",
         "item 0x26010003", "menu level jumps from 0 to 2"),
        ("first item nested", "main.form", "item 0x26010002 level=0", "item 0x26010002 level=1",
         "item 0x26010002", "the first menu item has level 1, not 0"),
        ("no GBK code", "config.form", '"Use BGM"', '"Use BGM \U0001F3B5"',
         "Use BGM", "'\U0001F3B5' has no GBK code"),
        ("not a number", "main.form", "rect         0 0 605 470", "rect         0 0 605 4x0",
         "4x0", "rect value '4x0' is not a number"),
        ("out of range", "main.form", "scroll-bars     3", "scroll-bars     4",
         "scroll-bars", "'scroll-bars' 4 is outside 0..3"),
        ("not yes or no", "main.form", "multi-line      yes", "multi-line      1",
         "multi-line", "'multi-line' is yes or no, not '1'"),
        ("unit ID kind", "main.form", "id           0x16010009", "id           0x26010009",
         "0x26010009\n", "unit ID 0x26010009 must be 0x16xxxxxx with non-zero low bits"),
        ("share with another type", "config.form", "share        0\nrect         88 10",
         "share        0x16010137\nrect         88 10",
         "[unit EditBox1]", "share 0x16010137 is not another EditBox of this window"),
        ("unknown flag", "main.form", "flags        visible tabstop", "flags        visible tab-stop",
         "tab-stop", "unit flags are visible, disabled, tabstop, not 'tab-stop'"),
        ("handler name", "main.form", "click=OnOpen", "click=On-Open",
         "On-Open", "handler name 'On-Open' is not an identifier"),
        ("unclosed quote", "main.form", 'caption="File"', 'caption="File',
         '"File', "cannot read 'caption=\"File' (an unclosed quote?)"),
        ("unknown section", "about.form", "[unit Label1]", "[label Label1]",
         "[label Label1]", "unknown section [label]"),
        ("menu not last", "main.form", "[menu]", "[menu]\n[unit Extra]",
         "[menu]", "[menu] must be the last section"),
        ("font member", "font.form", 'font         height=-16', 'font         size=-16',
         "size=-16", "unknown font member 'size'"),
    ]

    def compile_broken(self, form, old, new):
        original = read_text(os.path.join(ROOT, "forms", form))
        self.assertIn(old, original)
        directory = tempfile.TemporaryDirectory()
        self.addCleanup(directory.cleanup)
        path = os.path.join(directory.name, form)
        broken = original.replace(old, new, 1)
        with open(path, "w", encoding="utf-8") as f:
            f.write(broken)
        with self.assertRaises(formc.FormError) as raised:
            formc.compile_forms([path])
        return broken, path, str(raised.exception)

    @staticmethod
    def line_of(text, marker):
        return text[:text.index(marker)].count("\n") + 1

    def test_errors_name_file_line_and_cause(self):
        for name, form, old, new, marker, message in self.CASES:
            with self.subTest(name):
                broken, path, error = self.compile_broken(form, old, new)
                message = re.sub(r"\{(.*?)\}", lambda m: str(self.line_of(broken, m.group(1))), message)
                self.assertEqual(f"{path}:{self.line_of(broken, marker)}: error: {message}", error)

    def test_same_window_twice(self):
        with self.assertRaises(formc.FormError) as raised:
            formc.compile_forms([FORMS[0], FORMS[0]])
        line = ErrorsTest.line_of(read_text(FORMS[0]), "window-id")
        self.assertEqual(f"{FORMS[0]}:{line}: error: window ID 0x52010001 also in {FORMS[0]}", str(raised.exception))

    def test_command_line_reports_and_writes_nothing(self):
        _, path, error = self.compile_broken("main.form", "shortcut=Ctrl+O", "shortcut=Ctrl+Q+")
        with tempfile.TemporaryDirectory() as out:
            stderr = io.StringIO()
            with redirect_stderr(stderr):
                self.assertEqual(1, formc.main(["--out-dir", out, path]))
            self.assertEqual(error + "\n", stderr.getvalue())
            self.assertEqual([], os.listdir(out))


if __name__ == "__main__":
    unittest.main()
