#!/usr/bin/env python3
"""Compiles the window descriptions of forms/ into the program's form data.

    formc.py --out-dir DIR main.form about.form font.form config.form

writes three C++ sources into DIR:
  form_data.cpp      kFormData, kFormDataSize: the windows in argument order
  handler_table.cpp  kHandlers, kHandlerCount: every handler bound anywhere,
                     by name in alphabetical order
  handler_names.cpp  kHandlerNames: the same names, then a null sentinel
A handler offset in the form data is the handler's index in that table
(0xFFFFFFFF: none). The description format is explained in forms/README.md.
Errors name the file and line and end the run with exit code 1.
"""

import argparse
import os
import re
import string
import struct
import sys
from dataclasses import dataclass, field

import blob_layouts as layouts
import record_layouts

NO_HANDLER = 0xFFFFFFFF
DEFAULT_COLOR = 0xFF000000
LOGFONT_FACE_BYTES = 32
WINDOW_KIND, UNIT_KIND, MENU_KIND = 0x06000000, 0x16000000, 0x26000000
MENU_TYPE_CODE = 0x00010003
UNIT_FLAGS = {"visible": 1, "disabled": 2, "tabstop": 4}
MENU_FLAGS = {"hidden": 1, "disabled": 2, "checked": 4}

# Shortcut index k names entry k - 1; index 0 is "no shortcut".
SHORTCUTS = (
    [f"Ctrl+{c}" for c in string.ascii_uppercase]
    + [f"F{i}" for i in range(1, 13)]
    + [f"Ctrl+F{i}" for i in range(1, 13)]
    + [f"Shift+F{i}" for i in range(1, 13)]
    + [f"Ctrl+Shift+F{i}" for i in range(1, 13)]
    + ["Ins", "Del"]
)


class FormError(Exception):
    """An error in a description, reported as FILE:LINE: error: MESSAGE."""


@dataclass(frozen=True)
class Where:
    path: str
    line: int

    def fail(self, message):
        raise FormError(f"{self.path}:{self.line}: error: {message}")


# ---------------------------------------------------------------------------
# Reading: lines of words, grouped into sections.

@dataclass
class Token:
    key: str | None  # the KEY of KEY=VALUE
    value: str
    quoted: bool


@dataclass
class Entry:
    """One `key arguments...` line of a section."""
    where: Where
    key: str
    args: list


@dataclass
class Section:
    where: Where
    kind: str
    label: str | None
    entries: list = field(default_factory=list)


TOKEN_RE = re.compile(r'(?:([A-Za-z][\w-]*)=)?(?:"((?:[^"\\\n]|\\.)*)"|([^\s"]+))')
SECTION_RE = re.compile(r"\[(\w+)(?:\s+(\S+))?\]")
ESCAPES = {"\\": "\\", '"': '"', "r": "\r", "n": "\n", "t": "\t"}


def unescape(where, text):
    def one(m):
        if m.group(1) not in ESCAPES:
            where.fail(f"unknown escape '\\{m.group(1)}' in a quoted text")
        return ESCAPES[m.group(1)]
    return re.sub(r"\\(.)", one, text)


def tokenize(where, text):
    tokens, at = [], 0
    while True:
        while at < len(text) and text[at].isspace():
            at += 1
        if at == len(text):
            return tokens
        m = TOKEN_RE.match(text, at)
        if not m or (m.end() < len(text) and not text[m.end()].isspace()):
            where.fail(f"cannot read '{text[at:].strip()}' (an unclosed quote?)")
        quoted = m.group(2) is not None
        value = unescape(where, m.group(2)) if quoted else m.group(3)
        tokens.append(Token(m.group(1), value, quoted))
        at = m.end()


def read_sections(path):
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except UnicodeDecodeError as e:
        raise FormError(f"{path}: error: not UTF-8 text ({e.reason})")
    except OSError as e:
        raise FormError(f"{path}: error: {e.strerror}")
    sections = []
    for number, raw in enumerate(lines, 1):
        where, text = Where(path, number), raw.strip()
        if not text or text.startswith("#"):
            continue
        header = SECTION_RE.fullmatch(text)
        if header:
            sections.append(Section(where, header.group(1), header.group(2)))
            continue
        if not sections:
            where.fail("a line before the first [section]")
        tokens = tokenize(where, text)
        if tokens[0].key is not None or tokens[0].quoted:
            where.fail(f"a line must start with a field name, not '{text}'")
        sections[-1].entries.append(Entry(where, tokens[0].value, tokens[1:]))
    return sections


class Fields:
    """The lines of one section by key, checked against the keys it may have."""

    def __init__(self, section, what, allowed, repeatable=()):
        self.section, self.what = section, what
        self.by_key = {}
        for e in section.entries:
            if e.key not in allowed:
                e.where.fail(f"unknown field '{e.key}' for {what}")
            earlier = self.by_key.setdefault(e.key, [])
            if earlier and e.key not in repeatable:
                e.where.fail(f"field '{e.key}' given twice in {what} (first at line {earlier[0].where.line})")
            earlier.append(e)

    def take(self, key):
        entries = self.by_key.get(key)
        if entries is None:
            self.section.where.fail(f"missing field '{key}' in {self.what}")
        return entries[0]

    def take_all(self, key):
        return self.by_key.get(key, [])


# ---------------------------------------------------------------------------
# Values.

def plain_args(entry, count=None):
    """The words of a line; `count` of them, or any number when None."""
    if any(t.key or t.quoted for t in entry.args):
        entry.where.fail(f"'{entry.key}' takes plain values, not KEY=VALUE or quoted texts")
    if count is not None and len(entry.args) != count:
        entry.where.fail(f"'{entry.key}' takes {count} value{'s' if count != 1 else ''}")
    return [t.value for t in entry.args]


def to_int(where, text, lo=-(2**31), hi=2**32 - 1, what="value"):
    try:
        value = int(text, 0)
    except ValueError:
        where.fail(f"{what} '{text}' is not a number")
    if not lo <= value <= hi:
        where.fail(f"{what} {text} is outside {lo}..{hi}")
    return value


def int_arg(entry, lo=-(2**31), hi=2**32 - 1):
    return to_int(entry.where, plain_args(entry, 1)[0], lo, hi, f"'{entry.key}'")


def id_arg(entry, kind, what):
    value = int_arg(entry, 0)
    check_id_kind(entry.where, value, kind, what)
    return value


def check_id_kind(where, value, kind, what):
    if value & 0xFF000000 != kind or not value & 0x00FFFFFF:
        where.fail(f"{what} ID 0x{value:08X} must be 0x{kind >> 24:02X}xxxxxx with non-zero low bits")


def text_arg(entry):
    if len(entry.args) != 1 or not entry.args[0].quoted or entry.args[0].key:
        entry.where.fail(f"'{entry.key}' takes one quoted text")
    return entry.args[0].value


def text_bytes(entry):
    return gbk(entry.where, text_arg(entry))


def gbk(where, text):
    try:
        return text.encode("gbk")
    except UnicodeEncodeError as e:
        where.fail(f"'{text[e.start:e.end]}' has no GBK code")


def handler_name(where, text):
    if not re.fullmatch(r"[A-Za-z_]\w*", text):
        where.fail(f"handler name '{text}' is not an identifier")
    return text


class Out:
    """Little-endian encoder."""

    def __init__(self):
        self.data = bytearray()

    def u32(self, value):
        self.data += struct.pack("<I", value & 0xFFFFFFFF)

    def u16(self, value):
        self.data += struct.pack("<H", value)

    def zeros(self, n):
        self.data += bytes(n)

    def raw(self, data):
        self.data += data

    def ztext(self, data):
        self.data += data + b"\0"

    def counted(self, data):
        self.u32(len(data))
        self.data += data


# ---------------------------------------------------------------------------
# Property blobs: each unit type's layout (blob_layouts.py) walked in stored
# order, each field written from its line by its kind's writer.

def write_int(kind, e, out):
    out.u32(int_arg(e, kind.lo, kind.hi))


def write_bool(kind, e, out):
    value = plain_args(e, 1)[0]
    if value not in ("yes", "no"):
        e.where.fail(f"'{e.key}' is yes or no, not '{value}'")
    out.u32(value == "yes")


def write_color(kind, e, out):
    value = plain_args(e, 1)[0]
    out.u32(DEFAULT_COLOR if value == "default" else to_int(e.where, value, 0, what=f"'{e.key}'"))


def write_text(kind, e, out):
    out.counted(text_bytes(e))


def write_char(kind, e, out):
    data = text_bytes(e)
    if len(data) != 1:
        e.where.fail(f"'{e.key}' is one single-byte character")
    out.u16(data[0])


def write_no_bytes(kind, e, out):
    if plain_args(e, 1)[0] != "none":
        e.where.fail(f"'{e.key}' can only be none")
    out.u32(0)


# LOGFONTA members in memory order: (name, struct format).
LOGFONT = [("height", "i"), ("width", "i"), ("escapement", "i"), ("orientation", "i"), ("weight", "i"),
           ("italic", "B"), ("underline", "B"), ("strikeout", "B"), ("charset", "B"),
           ("out-precision", "B"), ("clip-precision", "B"), ("quality", "B"), ("pitch-family", "B")]


def write_font(kind, e, out):
    if len(e.args) == 1 and e.args[0].value == "none" and not e.args[0].key:
        out.u32(0)
        return
    given = {}
    for t in e.args:
        if t.key is None or t.key in given:
            e.where.fail("a font is none or MEMBER=VALUE pairs, each member once")
        given[t.key] = t
    face = given.pop("face", None)
    face_bytes = gbk(e.where, face.value) if face else b""
    if len(face_bytes) >= LOGFONT_FACE_BYTES:
        e.where.fail(f"font face name is longer than {LOGFONT_FACE_BYTES - 1} bytes")
    logfont = bytearray()
    for name, fmt in LOGFONT:
        t = given.pop(name, None)
        lo, hi = (-(2**31), 2**31 - 1) if fmt == "i" else (0, 255)
        logfont += struct.pack("<" + fmt, to_int(e.where, t.value, lo, hi, f"font {name}") if t else 0)
    for unknown in given:
        e.where.fail(f"unknown font member '{unknown}'")
    logfont += face_bytes.ljust(LOGFONT_FACE_BYTES, b"\0")
    out.counted(bytes(logfont))


FIELD_WRITERS = {"int": write_int, "bool": write_bool, "color": write_color, "text": write_text,
                 "char": write_char, "none": write_no_bytes, "font": write_font}


# A list entry's members are one line's KEY=VALUE words; `what` names the
# member in messages ("part width").
def write_entry_int(kind, where, what, value, out):
    out.u32(to_int(where, value, kind.lo, kind.hi, what))


def write_entry_pick(kind, where, what, value, out):
    names = dict(kind.names)
    if value not in names:
        where.fail(f"{what} is one of {', '.join(names)}, not '{value}'")
    out.u32(names[value])


def write_entry_text(kind, where, what, value, out):
    out.ztext(gbk(where, value))


ENTRY_WRITERS = {"int": write_entry_int, "pick": write_entry_pick, "ztext": write_entry_text}


def write_list(kind, entries, out):
    """A list field, one line per entry; no line stores no list."""
    if not entries:
        out.u32(0)
        return
    data = Out()
    data.u32(len(entries))
    for e in entries:
        write_entry(kind.entry, e, data)
    out.counted(bytes(data.data))


def write_entry(entry_layout, e, out):
    keys = [f.key for f in entry_layout.fields]
    members = {t.key: t for t in e.args}
    if None in members or len(members) != len(e.args) or set(members) != set(keys):
        listed = ", ".join(f"{k}=" for k in keys[:-1])
        e.where.fail(f"a {e.key} is {listed} and {keys[-1]}=, each once")
    for f in entry_layout.fields:
        ENTRY_WRITERS[f.kind.name](f.kind, e.where, f"{e.key} {f.key}", members[f.key].value, out)


@dataclass(frozen=True)
class UnitType:
    code: int
    layout: layouts.Layout | None  # None: the type has no property blob

    def keys(self):
        return {f.key for f in self.layout.fields} if self.layout else set()

    def repeated(self):
        """Keys of list fields: one line per entry."""
        return {f.key for f in self.layout.fields if f.kind.entry} if self.layout else set()


UNIT_TYPES = {
    "Window": UnitType(0x00010001, layouts.WINDOW),
    "EditBox": UnitType(0x00010005, layouts.EDIT_BOX),
    "Label": UnitType(0x0001000A, layouts.LABEL),
    "Button": UnitType(0x0001000B, layouts.BUTTON),
    "CheckBox": UnitType(0x0001000C, layouts.CHECK_BOX),
    "HyperLinker": UnitType(0x0001001D, layouts.HYPER_LINKER),
    "CommonDlg": UnitType(0x0001001F, layouts.COMMON_DLG),
    "StatusBar": UnitType(0x00020002, layouts.STATUS_BAR),
    "DropTarget": UnitType(0x00030001, layouts.DROP_TARGET),
    "MediaPlay": UnitType(0x00070006, None),
}


def property_blob(unit_type, fields):
    if unit_type.layout is None:
        return b""
    out = Out()
    out.u32(unit_type.layout.version)
    for f in unit_type.layout.fields:
        if f.kind.entry:
            write_list(f.kind, fields.take_all(f.key), out)
        else:
            FIELD_WRITERS[f.kind.name](f.kind, fields.take(f.key), out)
    return bytes(out.data)


# ---------------------------------------------------------------------------
# The model of one window description.

@dataclass
class UnitRecord:
    where: Where
    label: str  # `window` or the unit's label, for messages and listings
    id: int
    type_name: str
    share: int
    name: bytes
    remark: bytes
    rect: list
    parent: int
    children: list
    pointer: int
    tag: bytes
    flags: int
    tab_order: int
    events: list  # (event number, handler name)
    blob: bytes


@dataclass
class MenuItem:
    where: Where
    id: int
    name: bytes
    remark: bytes
    shortcut: int
    level: int
    flags: int
    caption: bytes
    click: str | None


@dataclass
class Form:
    path: str
    id_where: Where
    window_id: int
    reserved: int
    module: int
    remarks: tuple
    units: list  # the window's own record first
    menu: list

    def handlers(self):
        names = {h for u in self.units for _, h in u.events}
        return names | {m.click for m in self.menu if m.click}


def read_form_header(section):
    f = Fields(section, "[form]", {"window-id", "reserved", "module", "remark1", "remark2"})
    return dict(
        id_where=f.take("window-id").where,
        window_id=int_arg(f.take("window-id"), 1),
        reserved=int_arg(f.take("reserved")),
        module=int_arg(f.take("module")),
        remarks=(text_bytes(f.take("remark1")), text_bytes(f.take("remark2"))),
    )


RECORD_FIELDS = {"id", "name", "remark", "share", "rect", "parent", "children", "pointer", "tag", "flags",
                 "tab-order", "event"}


def read_unit(section, type_name, kind):
    what = "the window record" if kind == WINDOW_KIND else f"unit {section.label}"
    unit_type = UNIT_TYPES[type_name]
    f = Fields(section, what, RECORD_FIELDS | unit_type.keys(), {"event"} | unit_type.repeated())
    record = UnitRecord(
        where=section.where, label=section.label or "window", type_name=type_name,
        id=id_arg(f.take("id"), kind, "unit" if kind == UNIT_KIND else "window record"),
        share=int_arg(f.take("share"), 0),
        name=text_bytes(f.take("name")),
        remark=text_bytes(f.take("remark")),
        rect=rect_arg(f.take("rect")),
        parent=int_arg(f.take("parent"), 0),
        children=children_arg(f.take("children")),
        pointer=int_arg(f.take("pointer")),
        tag=text_bytes(f.take("tag")),
        flags=flags_arg(f.take("flags")),
        tab_order=int_arg(f.take("tab-order")),
        events=[event_arg(e) for e in f.take_all("event")],
        blob=property_blob(unit_type, f),
    )
    return record


def flags_arg(entry):
    flags = 0
    for word in plain_args(entry):
        if word not in UNIT_FLAGS:
            entry.where.fail(f"unit flags are {', '.join(UNIT_FLAGS)}, not '{word}'")
        flags |= UNIT_FLAGS[word]
    return flags


def children_arg(entry):
    return [to_int(entry.where, v, 0, what="child ID") for v in plain_args(entry)]


def rect_arg(entry):
    return [to_int(entry.where, v, -(2**31), 2**31 - 1, "rect value") for v in plain_args(entry, 4)]


def event_arg(entry):
    number, handler = plain_args(entry, 2)
    return to_int(entry.where, number, -(2**31), 2**31 - 1, "event number"), handler_name(entry.where, handler)


def read_menu(section):
    items, previous_level = [], -1
    for e in section.entries:
        if e.key != "item":
            e.where.fail(f"unknown field '{e.key}' in [menu] (each line is an item)")
        item = read_menu_item(e)
        if not items and item.level != 0:
            e.where.fail(f"the first menu item has level {item.level}, not 0")
        if item.level > previous_level + 1:
            e.where.fail(f"menu level jumps from {previous_level} to {item.level}")
        previous_level = item.level
        items.append(item)
    return items


def read_menu_item(e):
    if not e.args or e.args[0].key or e.args[0].quoted:
        e.where.fail("a menu item starts with its ID")
    item_id = to_int(e.where, e.args[0].value, 0, what="menu item ID")
    check_id_kind(e.where, item_id, MENU_KIND, "menu item")
    given, flags = {}, 0
    for t in e.args[1:]:
        if t.key is None and not t.quoted and t.value in MENU_FLAGS:
            flags |= MENU_FLAGS[t.value]
        elif t.key in ("level", "caption", "shortcut", "click", "name", "remark") and t.key not in given:
            given[t.key] = t
        else:
            e.where.fail(f"unknown or repeated menu item field '{t.key or t.value}'")
    for required in ("level", "caption"):
        if required not in given:
            e.where.fail(f"menu item 0x{item_id:08X} has no {required}=")
    shortcut = given.get("shortcut")
    if shortcut and shortcut.value not in SHORTCUTS:
        e.where.fail(f"bad shortcut name '{shortcut.value}'")
    texts = {k: gbk(e.where, given[k].value) if k in given else b"" for k in ("caption", "name", "remark")}
    return MenuItem(
        where=e.where, id=item_id, name=texts["name"], remark=texts["remark"],
        shortcut=SHORTCUTS.index(shortcut.value) + 1 if shortcut else 0,
        level=to_int(e.where, given["level"].value, 0, 255, "menu level"),
        flags=flags, caption=texts["caption"],
        click=handler_name(e.where, given["click"].value) if "click" in given else None)


def read_form(path):
    sections = read_sections(path)
    if not sections or sections[0].kind != "form":
        Where(path, sections[0].where.line if sections else 1).fail("a description starts with [form]")
    if len(sections) < 2 or sections[1].kind != "window":
        Where(path, sections[0].where.line).fail("[form] is followed by [window]")
    form = Form(path=path, units=[read_unit(sections[1], "Window", WINDOW_KIND)], menu=[],
                **read_form_header(sections[0]))
    for i, s in enumerate(sections[2:], 2):
        if s.kind == "unit":
            form.units.append(read_unit_section(s))
        elif s.kind == "menu" and i == len(sections) - 1:
            form.menu = read_menu(s)
        elif s.kind == "menu":
            s.where.fail("[menu] must be the last section")
        else:
            s.where.fail(f"unknown section [{s.kind}]")
    check_references(form)
    return form


def read_unit_section(section):
    if not section.label:
        section.where.fail("a unit section is [unit LABEL]")
    type_entry = next((e for e in section.entries if e.key == "type"), None)
    if type_entry is None:
        section.where.fail(f"missing field 'type' in unit {section.label}")
    section.entries.remove(type_entry)
    type_name = plain_args(type_entry, 1)[0]
    if type_name not in UNIT_TYPES or type_name == "Window":
        type_entry.where.fail(f"unknown unit type '{type_name}'")
    return read_unit(section, type_name, UNIT_KIND)


def check_references(form):
    seen = {}
    for where, unit_id in [(u.where, u.id) for u in form.units] + [(m.where, m.id) for m in form.menu]:
        if unit_id in seen:
            where.fail(f"duplicate unit ID 0x{unit_id:08X} (first at line {seen[unit_id].line})")
        seen[unit_id] = where
    units = {u.id: u for u in form.units[1:]}
    labels = set()
    for u in form.units[1:]:
        if u.label in labels:
            u.where.fail(f"unit label '{u.label}' used twice")
        labels.add(u.label)
        if u.share and (u.share not in units or u.share == u.id or units[u.share].type_name != u.type_name):
            u.where.fail(f"share 0x{u.share:08X} is not another {u.type_name} of this window")
        for ref in [u.parent] + u.children:
            if ref and (ref not in units or ref == u.id):
                u.where.fail(f"0x{ref:08X} is not another unit of this window")


# ---------------------------------------------------------------------------
# Encoding.

# Template headers and records: each layout (record_layouts.py) walked in
# stored order, each field written from its value by its kind's writer.

def put_word(kind, value, out):
    out.u32(value)


def put_empty_slot(kind, value, out):
    out.u32(0)


def put_words(kind, values, out):
    assert len(values) == kind.size
    for value in values:
        out.u32(value)


def put_reserved(kind, value, out):
    out.zeros(kind.size)


def put_terminated_text(kind, value, out):
    out.ztext(value)


def put_counted(kind, value, out):
    out.counted(value)


def put_counted_words(kind, entries, out):
    out.u32(len(entries))
    for entry in entries:
        put_words(kind, entry, out)


def put_rest(kind, value, out):
    out.raw(value)


RECORD_WRITERS = {"word": put_word, "slot": put_empty_slot, "words": put_words, "reserved": put_reserved,
                  "terminated text": put_terminated_text, "counted text": put_counted,
                  "counted bytes": put_counted, "counted words": put_counted_words, "rest": put_rest}


def record_bytes(layout, values):
    """The fields of `layout` from `values`, which holds every field that carries one."""
    assert set(values) == {f.name for f in layout.fields if f.kind.carries_value}
    out = Out()
    for f in layout.fields:
        RECORD_WRITERS[f.kind.wire](f.kind, values.get(f.name), out)
    return bytes(out.data)


def unit_record_body(u, handler_index):
    return record_bytes(record_layouts.UNIT_RECORD, dict(
        typeCode=UNIT_TYPES[u.type_name].code, eventShare=u.share, name=u.name, remark=u.remark,
        geometry=u.rect, parent=u.parent, childIds=[(child,) for child in u.children],
        pointerData=struct.pack("<I", u.pointer), tag=u.tag, flags=u.flags, tabOrder=u.tab_order,
        bindings=[(number, handler_index[handler]) for number, handler in u.events], blob=u.blob))


def menu_record_body(m, handler_index):
    return record_bytes(record_layouts.MENU_RECORD, dict(
        typeCode=MENU_TYPE_CODE, name=m.name, remark=m.remark, shortcut=m.shortcut, level=m.level,
        flags=m.flags, caption=m.caption, handler=handler_index[m.click] if m.click else NO_HANDLER))


@dataclass
class Chunk:
    """A run of the form data with a note on what it is (for the listing)."""
    note: str
    data: bytes


def template_chunks(form, handler_index):
    records = [(f"{u.label} 0x{u.id:08X} {u.type_name}", u.id, unit_record_body(u, handler_index)) for u in form.units]
    records += [(f"menu {m.caption.decode('gbk')!r} 0x{m.id:08X}", m.id, menu_record_body(m, handler_index)) for m in form.menu]
    index, offsets, at = Out(), Out(), 0
    for _, unit_id, _ in records:
        index.u32(unit_id)
    for _, _, body in records:
        offsets.u32(at)
        at += 4 + len(body)
    lookup = Chunk("unit IDs, record offsets", bytes(index.data + offsets.data))
    bodies = [Chunk(note, struct.pack("<I", len(body)) + body) for note, _, body in records]
    unit_list = b"".join(c.data for c in [lookup] + bodies)
    head = record_bytes(record_layouts.TEMPLATE_HEADER, dict(
        reservedA=form.reserved, moduleWord=form.module, remark1=form.remarks[0], remark2=form.remarks[1],
        recordCount=len(records), unitList=unit_list))
    # The listing shows the unit list's parts apart, after the header's words.
    return [Chunk(f"window 0x{form.window_id:08X} ({os.path.basename(form.path)}): template header",
                  head[:len(head) - len(unit_list)]), lookup] + bodies


@dataclass
class Compiled:
    chunks: list
    handlers: list  # sorted names; a name's index is its handler offset
    sources: list

    @property
    def data(self):
        return b"".join(c.data for c in self.chunks)


def compile_forms(paths):
    forms = [read_form(p) for p in paths]
    first = {}
    for form in forms:
        if form.window_id in first:
            form.id_where.fail(f"window ID 0x{form.window_id:08X} also in {first[form.window_id].path}")
        first[form.window_id] = form.id_where
    handlers = sorted(set().union(*(f.handlers() for f in forms)))
    handler_index = {name: i for i, name in enumerate(handlers)}
    map_out = Out()
    map_out.u32(8 * len(forms))
    for form in forms:
        map_out.u32(form.window_id)
    map_out.zeros(4 * len(forms))  # the registry's pointer slots
    chunks = [Chunk("map: byte count, window IDs, placeholders", bytes(map_out.data))]
    for form in forms:
        chunks += template_chunks(form, handler_index)
    return Compiled(chunks, handlers, [os.path.basename(p) for p in paths])


# ---------------------------------------------------------------------------
# C++ output.

def generated_note(compiled):
    return (f"// Generated by scripts/formc.py from {', '.join(compiled.sources)}.\n"
            "// Do not edit: change the descriptions and rebuild.\n")


def form_data_cpp(compiled, namespace):
    lines = [generated_note(compiled), f"namespace {namespace} {{", "",
             "extern const unsigned char kFormData[];", "extern const unsigned int kFormDataSize;", "",
             "const unsigned char kFormData[] = {"]
    for chunk in compiled.chunks:
        lines.append(f"    // {chunk.note}")
        for at in range(0, len(chunk.data), 16):
            lines.append("    " + " ".join(f"0x{b:02x}," for b in chunk.data[at:at + 16]))
    size = len(compiled.data)
    lines += ["};", f"const unsigned int kFormDataSize = {size};", "",
              f"static_assert(sizeof(kFormData) == {size});", "", f"}}  // namespace {namespace}", ""]
    return "\n".join(lines)


def handler_table_cpp(compiled, namespace):
    lines = [generated_note(compiled), '#include "runtime/program.h"', "", f"namespace {namespace} {{", ""]
    lines += [f"void {name}(rt::HandlerCall& call);" for name in compiled.handlers]
    lines += ["", "extern const rt::EventHandler kHandlers[];", "extern const unsigned int kHandlerCount;", "",
              "// A handler offset in kFormData is an index into this table.",
              "const rt::EventHandler kHandlers[] = {"]
    lines += [f"    {name},  // {i}" for i, name in enumerate(compiled.handlers)] or ["    nullptr,"]
    lines += ["};", f"const unsigned int kHandlerCount = {len(compiled.handlers)};", "",
              f"}}  // namespace {namespace}", ""]
    return "\n".join(lines)


def handler_names_cpp(compiled, namespace):
    lines = [generated_note(compiled), f"namespace {namespace} {{", "",
             "extern const char* const kHandlerNames[];", "",
             "// The names of kHandlers, in the same order, then a null sentinel.",
             "const char* const kHandlerNames[] = {"]
    lines += [f'    "{name}",  // {i}' for i, name in enumerate(compiled.handlers)]
    lines += ["    nullptr,", "};", "", f"}}  // namespace {namespace}", ""]
    return "\n".join(lines)


OUTPUTS = {"form_data.cpp": form_data_cpp, "handler_table.cpp": handler_table_cpp,
           "handler_names.cpp": handler_names_cpp}


def main(argv=None):
    parser = argparse.ArgumentParser(description="Compile window descriptions into the program's form data.")
    parser.add_argument("--out-dir", required=True, help="directory that receives the generated .cpp files")
    parser.add_argument("--namespace", default="player", help="C++ namespace of the generated definitions")
    parser.add_argument("forms", nargs="+", help="window descriptions, the start window first")
    args = parser.parse_args(argv)
    try:
        compiled = compile_forms(args.forms)
    except FormError as e:
        print(e, file=sys.stderr)
        return 1
    os.makedirs(args.out_dir, exist_ok=True)
    for name, render in OUTPUTS.items():
        with open(os.path.join(args.out_dir, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(render(compiled, args.namespace))
    return 0


if __name__ == "__main__":
    sys.exit(main())
