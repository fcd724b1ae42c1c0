#!/usr/bin/env python3
"""The property blob layouts of the unit types: the one place they are written.

The form compiler (formc.py) writes each unit's blob by walking its layout
here; run as a script, this module writes the C++ header whose Read and Write
functions the unit types' own readers and writers are built on:

    blob_layouts.py OUT.h

A layout is its version (the word that opens the blob: the one written and
the newest a reader accepts; None for a layout without one, such as a list
entry) and its fields in stored order. A field names its line in a window
description (`key`), its place in the C++ property record (`member`: `name`
for a member, `[i]` for an element), its kind and the first version that
stores it (`since`); reading an older blob leaves later fields at their
defaults.

Kinds say how a field is stored (`wire`) and what a description may give:
  word            Int, BOOL, COLOR, Pick: 32-bit little-endian
  half            CHAR: 16-bit little-endian
  counted text    TEXT: a 32-bit byte count, then the GBK bytes
  counted bytes   FONT (a LOGFONTA or nothing), NO_BYTES (always empty here)
  terminated text ZTEXT: the GBK bytes and a zero
  counted list    List: a 32-bit byte count, then nothing (no list) or the
                  entry count and the entries of another layout
"""

import os
import sys
from dataclasses import dataclass


@dataclass(frozen=True)
class Kind:
    name: str  # the form compiler's writer for it
    wire: str
    lo: int = -(2**31)  # int: the values a description may give
    hi: int = 2**32 - 1
    names: tuple = ()  # pick: (name, value) pairs
    entry: "Layout | None" = None  # list: the layout of an entry


def Int(lo=-(2**31), hi=2**32 - 1):
    return Kind("int", "word", lo, hi)


def Pick(*names):
    return Kind("pick", "word", names=names)


def List(entry):
    return Kind("list", "counted list", entry=entry)


BOOL = Kind("bool", "word")
COLOR = Kind("color", "word")
CHAR = Kind("char", "half")
TEXT = Kind("text", "counted text")
ZTEXT = Kind("ztext", "terminated text")
FONT = Kind("font", "counted bytes")
NO_BYTES = Kind("none", "counted bytes")  # pictures, icons, sounds: no window of ours carries one


@dataclass(frozen=True)
class Field:
    key: str
    member: str
    kind: object
    since: int = 0


@dataclass(frozen=True)
class Layout:
    name: str  # the C++ name: win::layout::NAME
    version: int | None
    fields: tuple


def layout(name, version, *fields):
    return Layout(name, version, tuple(Field(*f) for f in fields))


INT31 = Int(0, 2**31 - 1)

WINDOW = layout(
    "Window", 6,
    ("border-style", "borderStyle", Int(0, 6)), ("picture-mode", "pictureMode", Int()),
    ("back-color", "backgroundColor", COLOR), ("max-button", "maximizeButton", BOOL),
    ("min-button", "minimizeButton", BOOL), ("control-box", "controlBox", BOOL),
    ("position", "position", Int(0, 3)), ("close-enabled", "closeEnabled", BOOL),
    ("music-mode", "musicPlayMode", Int()), ("enter-moves-focus", "enterMovesFocus", BOOL),
    ("esc-closes", "escCloses", BOOL), ("f1-help", "f1OpensHelp", BOOL),
    ("help-context", "helpContext", Int()), ("show-in-taskbar", "showInTaskbar", BOOL, 2),
    ("drag-anywhere", "dragAnywhere", BOOL, 3), ("shape", "shape", Int(), 3),
    ("always-on-top", "alwaysOnTop", BOOL, 4), ("option", "option", BOOL, 5),
    ("class-name", "className", TEXT, 6), ("picture", "backgroundPicture", NO_BYTES),
    ("icon", "icon", NO_BYTES), ("music", "backgroundMusic", NO_BYTES), ("title", "title", TEXT),
    ("help-file", "helpFile", TEXT))

EDIT_BOX = layout(
    "EditBox", 2,
    ("border-style", "borderStyle", Int(0, 5)), ("text-color", "textColor", COLOR),
    ("back-color", "backColor", COLOR), ("hide-selection", "hideSelection", BOOL),
    ("max-length", "maxLength", INT31), ("multi-line", "multiLine", BOOL),
    ("scroll-bars", "scrollBars", Int(0, 3)), ("alignment", "alignment", Int(0, 2)),
    ("input-mode", "inputMode", Int(0, 11)), ("password-char", "passwordChar", CHAR),
    ("letter-case", "letterCase", Int(0, 2)), ("adjust-type", "adjustType", Int(0, 2)),
    ("adjust-min", "adjustMin", Int()), ("adjust-max", "adjustMax", Int()),
    ("sel-start", "selectionStart", Int()), ("sel-length", "selectionLength", Int()),
    ("font", "font", FONT), ("content", "content", TEXT),
    ("text-a", "textOptionA", TEXT, 2), ("text-b", "textOptionB", TEXT, 2))

LABEL = layout(
    "Label", 2,
    ("effect", "effect", Int(0, 3)), ("frame-width", "frameWidth", Int()),
    ("border-style", "borderStyle", Int(0, 6)), ("frame-color-1", "frameColor1", COLOR),
    ("frame-color-2", "frameColor2", COLOR), ("frame-color-3", "frameColor3", COLOR),
    ("text-color", "textColor", COLOR), ("back-color", "backColor", COLOR),
    ("picture-mode", "pictureMode", Int(0, 2)), ("gradient-mode", "gradientMode", Int(0, 8)),
    ("gradient-color-1", "gradientColor1", COLOR), ("gradient-color-2", "gradientColor2", COLOR),
    ("gradient-color-3", "gradientColor3", COLOR), ("h-align", "horizontalAlignment", Int(0, 2)),
    ("v-align", "verticalAlignment", Int(0, 2)), ("word-wrap", "wordWrap", BOOL),
    ("font", "font", FONT), ("picture", "picture", NO_BYTES), ("caption", "caption", TEXT),
    ("text-a", "textOptionA", TEXT, 2), ("text-b", "textOptionB", TEXT, 2))

BUTTON = layout(
    "Button", 1,
    ("button-type", "buttonType", Int(0, 1)), ("h-align", "horizontalAlignment", Int(0, 2)),
    ("v-align", "verticalAlignment", Int(0, 2)), ("picture", "picture", NO_BYTES),
    ("font", "font", FONT), ("caption", "caption", TEXT))

CHECK_BOX = layout(
    "CheckBox", 2,
    ("push-like", "pushLike", BOOL), ("flat", "flat", BOOL), ("text-left", "textOnLeft", BOOL),
    ("h-align", "horizontalAlignment", Int(0, 2)), ("v-align", "verticalAlignment", Int(0, 2)),
    ("text-color", "textColor", COLOR), ("back-color", "backColor", COLOR),
    ("checked", "checked", BOOL), ("picture", "picture", NO_BYTES), ("font", "font", FONT),
    ("caption", "caption", TEXT), ("text-a", "textOptionA", TEXT, 2),
    ("text-b", "textOptionB", TEXT, 2))

HYPER_LINKER = layout(
    "HyperLinker", 1,
    ("link-type", "linkType", Int(0, 1)), ("normal-color", "normalColor", COLOR),
    ("visited-color", "visitedColor", COLOR), ("hover-color", "hoverColor", COLOR),
    ("back-color", "backColor", COLOR), ("border-style", "borderStyle", Int(0, 5)),
    ("font", "font", FONT), ("caption", "caption", TEXT), ("email", "emailAddress", TEXT),
    ("web", "webAddress", TEXT))

COMMON_DLG = layout(
    "CommonDlg", 1,
    ("dialog-kind", "dialogKind", Int(0, 3)), ("filter-index", "filterIndex", INT31),
    ("create-prompt", "createPrompt", BOOL), ("file-must-exist", "fileMustExist", BOOL),
    ("overwrite-prompt", "overwritePrompt", BOOL), ("path-must-exist", "pathMustExist", BOOL),
    ("keep-directory", "keepDirectory", BOOL), ("font-color", "fontColor", COLOR),
    ("bold", "bold", BOOL), ("italic", "italic", BOOL), ("strikeout", "strikeout", BOOL),
    ("underline", "underline", BOOL), ("font-size", "fontSize", INT31),
    ("help-command", "helpCommand", Int(0, 5)), ("help-topic", "helpTopic", Int()),
    ("title", "title", TEXT), ("file-name", "fileName", TEXT), ("filter", "filter", TEXT),
    ("initial-dir", "initialDirectory", TEXT), ("default-ext", "defaultExtension", TEXT),
    ("font-name", "fontName", TEXT), ("help-file", "helpFile", TEXT))

# One status bar part: a `part` line's KEY=VALUE members.
STATUS_BAR_PART = layout(
    "StatusBarPart", None,
    ("width", "width", Int(-1, 2**31 - 1)),
    ("border", "border", Pick(("sunken", 0), ("none", 0x100), ("raised", 0x200))),
    ("icon", "icon", Int(-1, 2**31 - 1)), ("text", "text", ZTEXT), ("tip", "tip", ZTEXT))

STATUS_BAR = layout(
    "StatusBar", 1,
    ("back-color", "backColour", COLOR), ("alignment", "alignment", Int(0, 2)),
    ("size-grip", "sizeGrip", BOOL), ("font", "font", FONT), ("icons", "icons", NO_BYTES),
    ("part", "parts", List(STATUS_BAR_PART)))

DROP_TARGET = layout(
    "DropTarget", 1,
    ("accept-text", "[0]", BOOL), ("accept-html", "[1]", BOOL), ("accept-url", "[2]", BOOL),
    ("accept-files", "[3]", BOOL))

LAYOUTS = (WINDOW, EDIT_BOX, LABEL, BUTTON, CHECK_BOX, HYPER_LINKER, COMMON_DLG, STATUS_BAR_PART, STATUS_BAR,
           DROP_TARGET)


# ---------------------------------------------------------------------------
# The C++ header.

# By wire: the statement that reads a field, then the one that writes it.
CPP_STATEMENTS = {
    "word": ("in.word({0});", "out.word(uint32_t({0}));"),
    "half": ("in.half({0});", "out.half({0});"),
    "counted text": ("in.countedText({0});", "out.countedText({0});"),
    "counted bytes": ("in.countedBytes({0});", "out.countedBytes({0});"),
    "terminated text": ("in.terminatedText({0});", "out.terminatedText({0});"),
    "counted list": ("ReadCountedList<{1}>(in, {0});", "WriteCountedList<{1}>(out, {0});"),
}


def cpp_statement(f, which):
    place = "p" + (f.member if f.member.startswith("[") else "." + f.member)
    entry = f.kind.entry.name if f.kind.entry else ""
    statement = CPP_STATEMENTS[f.kind.wire][which].format(place, entry)
    return f"if (version >= {f.since}) {statement}" if f.since and which == 0 else statement


def cpp_layout(lay):
    version_parameter = ", uint32_t version" if lay.version is not None else ""
    lines = [f"struct {lay.name} {{"]
    if lay.version is not None:
        lines.append(f"  static constexpr uint32_t kVersion = {lay.version};")
    lines.append(f"  template <class P>\n  static void Read(BlobReader& in{version_parameter}, P& p) {{")
    lines += [f"    {cpp_statement(f, 0)}" for f in lay.fields]
    lines.append("  }\n  template <class P>\n  static void Write(BlobWriter& out, const P& p) {")
    lines += [f"    {cpp_statement(f, 1)}" for f in lay.fields]
    lines.append("  }\n};\n")
    return "\n".join(lines)


def cpp_header():
    head = ["// Generated by scripts/blob_layouts.py. Do not edit: change the layouts there.",
            "//",
            "// Each layout reads and writes its fields in stored order (after the",
            "// version word, for a versioned layout); P is the property record.",
            "#pragma once", "", "#include <cstdint>", "", '#include "windows/blob.h"', "",
            "namespace win::layout {", ""]
    return "\n".join(head + [cpp_layout(lay) for lay in LAYOUTS] + ["}  // namespace win::layout", ""])


def write_header(argv, render, script):
    """Writes render()'s text to the one path in argv; the exit code."""
    if len(argv) != 1:
        print(f"usage: {script} OUT.h", file=sys.stderr)
        return 2
    os.makedirs(os.path.dirname(os.path.abspath(argv[0])), exist_ok=True)
    with open(argv[0], "w", encoding="utf-8", newline="\n") as f:
        f.write(render())
    return 0


if __name__ == "__main__":
    sys.exit(write_header(sys.argv[1:], cpp_header, "blob_layouts.py"))
