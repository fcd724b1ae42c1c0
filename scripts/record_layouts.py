#!/usr/bin/env python3
"""The framing of the form data: each window template's header and the unit
and menu item records of its unit list, the one place their fields are
written.

The form compiler (formc.py) writes each header and record by walking its
layout here; run as a script, this module writes the C++ header whose Walk
functions the form data reader and the unit list are built on:

    record_layouts.py OUT.h

A layout is its fields in stored order. A field has a name (the C++ member
it is read into and the value the form compiler writes; reserved bytes have
none) and a kind:
  word             u32
  slot             u32 that the loader fills at run time: 0 in the data
  words N          N × u32, one value each
  reserved N       N zero bytes
  terminated text  GBK bytes and a zero
  counted text     u32 byte count, then the GBK bytes
  counted bytes    u32 byte count, then the bytes
  counted words N  u32 entry count, then the entries of N × u32 each
  rest             every byte to the end of the record

The records are read in place (the runtime patches them there), so their
C++ structs, generated here, hold the offset of each field in the record
body; a counted field read in place also names its count word's member
(`count`). The template header is read into values, by the reader's struct.
"""

import sys
from dataclasses import dataclass

import blob_layouts


@dataclass(frozen=True)
class Kind:
    wire: str
    size: int = 0  # words, reserved: how many; counted words: words per entry

    @property
    def carries_value(self):
        return self.wire not in ("slot", "reserved")


WORD = Kind("word")
SLOT = Kind("slot")
TERMINATED_TEXT = Kind("terminated text")
COUNTED_TEXT = Kind("counted text")
COUNTED_BYTES = Kind("counted bytes")
REST = Kind("rest")


def Words(n):
    return Kind("words", n)


def Reserved(n):
    return Kind("reserved", n)


def CountedWords(per_entry):
    return Kind("counted words", per_entry)


@dataclass(frozen=True)
class Field:
    name: str | None
    kind: Kind
    count: str | None = None


@dataclass(frozen=True)
class Layout:
    name: str  # the C++ name: win::layout::NAME
    offsets: str | None  # read in place: the C++ struct of its offsets, win::OFFSETS
    fields: tuple


def layout(name, offsets, *fields):
    return Layout(name, offsets, tuple(Field(*f) for f in fields))


TEMPLATE_HEADER = layout(
    "TemplateHeader", None,
    ("reservedA", WORD), ("moduleWord", WORD), ("remark1", COUNTED_TEXT), ("remark2", COUNTED_TEXT),
    ("recordCount", WORD), ("unitList", COUNTED_BYTES))

# The window's own record and every unit's.
UNIT_RECORD = layout(
    "UnitRecord", "UnitRecordLayout",
    ("typeCode", WORD), ("eventShare", WORD), (None, Reserved(16)), ("name", TERMINATED_TEXT),
    ("remark", TERMINATED_TEXT), ("objectSlot", SLOT), ("geometry", Words(4)), ("cursorSlot", SLOT),
    ("parent", WORD), ("childIds", CountedWords(1), "childCount"),
    ("pointerData", COUNTED_BYTES, "pointerLength"), ("tag", TERMINATED_TEXT), (None, Reserved(4)),
    ("flags", WORD), ("tabOrder", WORD), ("bindings", CountedWords(2), "eventCount"), (None, Reserved(20)),
    ("blob", REST))

MENU_RECORD = layout(
    "MenuRecord", "MenuRecordLayout",
    ("typeCode", WORD), (None, Reserved(20)), ("name", TERMINATED_TEXT), ("remark", TERMINATED_TEXT),
    ("shortcut", WORD), ("level", WORD), ("flags", WORD), ("caption", TERMINATED_TEXT), ("handler", WORD),
    (None, Reserved(16)))

LAYOUTS = (TEMPLATE_HEADER, UNIT_RECORD, MENU_RECORD)


# ---------------------------------------------------------------------------
# The C++ header.

# By wire: the walker's call for a field; {count} is its count word's member
# and a comma when it has one.
CPP_STEPS = {
    "word": "w.word(p.{name});",
    "slot": "w.word(p.{name});",
    "words": "w.words(p.{name});",
    "reserved": "w.reserved({size});",
    "terminated text": "w.terminatedText(p.{name});",
    "counted text": "w.countedText(p.{name});",
    "counted bytes": "w.countedBytes({count}p.{name});",
    "counted words": "w.countedWords({count}p.{name}, {size});",
    "rest": "w.rest(p.{name});",
}


def cpp_step(f):
    count = f"p.{f.count}, " if f.count else ""
    return CPP_STEPS[f.kind.wire].format(name=f.name, count=count, size=f.kind.size)


def cpp_offset_members(f):
    if f.kind.wire == "reserved":
        return []
    if f.kind.wire == "words":
        return [f"  size_t {f.name}[{f.kind.size}];"]
    count = [f"  size_t {f.count};"] if f.count else []
    return count + [f"  size_t {f.name};"]


def cpp_offsets(lay):
    members = [line for f in lay.fields for line in cpp_offset_members(f)]
    comment = f"// Where each field of a record of layout::{lay.name} starts in its body."
    return "\n".join([comment, f"struct {lay.offsets} {{", *members, "};", ""])


def cpp_walk(lay):
    steps = [f"    {cpp_step(f)}" for f in lay.fields]
    return "\n".join([f"struct {lay.name} {{", "  template <class W, class P>", "  static void Walk(W& w, P& p) {",
                      *steps, "  }", "};", ""])


def cpp_header():
    head = ["// Generated by scripts/record_layouts.py. Do not edit: change the layouts there.",
            "//",
            "// Each layout's Walk hands its fields to the walker w in stored order,",
            "// each with the member of p it belongs in. A record's offsets struct",
            "// holds where each of its fields starts in the record body.",
            "#pragma once", "", "#include <cstddef>", "", "namespace win {", ""]
    offsets = [cpp_offsets(lay) for lay in LAYOUTS if lay.offsets]
    walks = ["namespace layout {", ""] + [cpp_walk(lay) for lay in LAYOUTS] + ["}  // namespace layout", ""]
    return "\n".join(head + offsets + walks + ["}  // namespace win", ""])


if __name__ == "__main__":
    sys.exit(blob_layouts.write_header(sys.argv[1:], cpp_header, "record_layouts.py"))
