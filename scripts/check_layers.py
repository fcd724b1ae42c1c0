#!/usr/bin/env python3
"""Checks that every include runs down the layer table, never up or across.

The table below is the build graph: each layer is one folder and one static
library, and it may include from its own folder and from the folders it
names. The player sees less: only the public headers named in
PLAYER_HEADERS, and its process entry the window framework's table as well.
README.md shows the same table (print it with --markdown); the check fails
when the two differ.

    check_layers.py [--root DIR]       check; one line per fault, file:line first
    check_layers.py --markdown         the table as README.md shows it
    check_layers.py --player-headers   the headers the player's include root
                                       holds: PLAYER_HEADERS, the process
                                       entry's, and all they include
"""

import argparse
import os
import re
import sys
from pathlib import Path

# (layer, folder, the folders it may include besides its own), lowest first.
LAYERS = (
    ("runtime", "runtime", ()),
    ("windows", "windows", ("runtime",)),
    ("units", "units", ("windows", "runtime")),
    ("libraries", "libraries", ("windows", "runtime")),
    ("commands", "commands", ("libraries", "units", "windows", "runtime")),
    ("player", "player", ()),
)

# What the player may include of the layers below it: the runtime services
# and the program's records, and the command and type numbers of the
# libraries, whose commands it calls through their entries.
PLAYER_HEADERS = (
    "runtime/helpers.h",
    "runtime/library.h",
    "runtime/program.h",
    "runtime/services.h",
    "runtime/values.h",
    "commands/core_library.h",
    "commands/program_libraries.h",
    "libraries/libraries.h",
    "libraries/drag_drop/library.h",
    "libraries/extended_ui/library.h",
    "libraries/multimedia/library.h",
    "libraries/shell/library.h",
    "libraries/threads/library.h",
    "libraries/utilities/library.h",
)

# The process entry hands the runtime the window framework it is built on.
PLAYER_ENTRY = "player/main.cpp"
PLAYER_ENTRY_HEADERS = ("windows/framework.h",)

FOLDERS = {folder: layer for layer, folder, _ in LAYERS}
INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)')
SOURCE_SUFFIXES = (".h", ".cpp")


def markdown_table():
    rows = ["| layer | folder | may use |", "|---|---|---|"]
    for layer, folder, uses in LAYERS:
        if layer == "player":
            may_use = "the public headers below"
        else:
            may_use = ", ".join(FOLDERS[u] for u in uses) or "nothing of ours"
        rows.append(f"| {layer} | `{folder}/` | {may_use} |")
    rows.append("")
    rows.append("The player includes only " + ", ".join(f"`{h}`" for h in PLAYER_HEADERS) +
                f"; its process entry (`{PLAYER_ENTRY}`) also " +
                ", ".join(f"`{h}`" for h in PLAYER_ENTRY_HEADERS) + ".")
    return "\n".join(rows)


def includes(path):
    """(line number, included path as written, quoted) of each include of a file."""
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1) or match.group(2), match.group(1) is not None


def resolve(root, source, included, quoted=True):
    """The file an include names, from the root, found as the compiler finds
    it: a quoted one beside the including file first, then from an include
    root, through whose link to the layer's folder ".." leads to the root."""
    if quoted:
        beside = os.path.normpath(os.path.join(os.path.dirname(source), included)).replace(os.sep, "/")
        if included.startswith(".") or (root / beside).is_file():
            return beside
    return os.path.normpath(included).replace(os.sep, "/")


def allowed(source, included, written=None):
    """Why `source` (a path from the root) may not include `included` (the
    file, from the root; `written` is the include as written), or None."""
    target = included.split("/", 1)[0]
    if target not in FOLDERS:
        return None
    folder = source.split("/", 1)[0]
    if target == folder:
        return None
    named = included if written in (None, included) else f"{written} ({included})"
    layer, _, uses = next(entry for entry in LAYERS if entry[1] == folder)
    if layer == "player":
        if included in PLAYER_HEADERS or (source == PLAYER_ENTRY and included in PLAYER_ENTRY_HEADERS):
            return None
        return f"the player may not include {named} (only its public headers; see README.md)"
    if target in uses:
        return None
    names = ", ".join(uses) or "nothing of ours"
    return f"{layer} may not include {named} ({layer} may use: {names})"


def sources(root):
    for _, folder, _ in LAYERS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix in SOURCE_SUFFIXES and path.is_file():
                yield path


def include_faults(root):
    for path in sources(root):
        source = path.relative_to(root).as_posix()
        for number, written, quoted in includes(path):
            fault = allowed(source, resolve(root, source, written, quoted), written)
            if fault:
                yield f"{source}:{number}: {fault}"


def link_faults(root):
    """Links in a layer's folder to files or folders outside it: through one,
    a layer would compile another's files as its own."""
    for _, folder, _ in LAYERS:
        home = (root / folder).resolve()
        for directory, names, files in os.walk(root / folder):
            for name in sorted(names + files):
                path = Path(directory) / name
                target = path.resolve()
                if path.is_symlink() and home != target and home not in target.parents:
                    yield f"{path.relative_to(root).as_posix()}: a link out of {folder}/ to {target}"


def readme_faults(root):
    readme = root / "README.md"
    if markdown_table() not in readme.read_text(encoding="utf-8"):
        yield ("README.md: its layer table differs from scripts/check_layers.py "
               "(print the table with --markdown)")


def player_headers(root):
    """PLAYER_HEADERS and the entry's, with every header of ours they include."""
    seen = []
    pending = list(PLAYER_HEADERS + PLAYER_ENTRY_HEADERS)
    while pending:
        header = pending.pop()
        if header in seen:
            continue
        seen.append(header)
        for _, written, quoted in includes(root / header):
            included = resolve(root, header, written, quoted)
            if included.split("/", 1)[0] in FOLDERS:
                pending.append(included)
    return sorted(seen)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", type=Path, default=Path(__file__).resolve().parent.parent)
    parser.add_argument("--markdown", action="store_true")
    parser.add_argument("--player-headers", action="store_true")
    args = parser.parse_args(argv)
    if args.markdown:
        print(markdown_table())
        return 0
    if args.player_headers:
        print("\n".join(player_headers(args.root)))
        return 0
    faults = list(include_faults(args.root)) + list(link_faults(args.root)) + list(readme_faults(args.root))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
