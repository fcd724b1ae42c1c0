"""Tests of scripts/check_layers.py on small trees of its own: which includes
it refuses, with file and line, and what it lets through."""

import contextlib
import io
import os
import sys
import tempfile
import unittest
from dataclasses import dataclass
from pathlib import Path

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))

import check_layers  # noqa: E402


@dataclass
class Case:
    name: str
    source: str    # the including file, from the root
    included: str  # what its second line includes, between quotes or <angle brackets>
    refused: bool


CASES = [
    Case("runtime includes its own folder", "runtime/a.cpp", "runtime/b.h", False),
    Case("runtime includes windows", "runtime/a.cpp", "windows/b.h", True),
    Case("windows includes runtime", "windows/a.cpp", "runtime/b.h", False),
    Case("units include windows", "units/a.h", "windows/b.h", False),
    Case("units include libraries, across", "units/a.cpp", "libraries/b.h", True),
    Case("libraries include units, across", "libraries/x/a.cpp", "units/b.h", True),
    Case("libraries include commands, up", "libraries/a.h", "commands/b.h", True),
    Case("commands include libraries", "commands/a.cpp", "libraries/x/b.h", False),
    Case("windows include the player", "windows/a.cpp", "player/b.h", True),
    Case("a local include", "runtime/a.cpp", "a_detail.h", False),
    Case("the player includes a service header", "player/a.cpp", "runtime/services.h", False),
    Case("the player includes a library's numbers", "player/a.cpp", "libraries/shell/library.h", False),
    Case("the player includes runtime state", "player/a.cpp", "runtime/state.h", True),
    Case("the player includes a library's commands", "player/a.cpp", "libraries/shell/shell_commands.h", True),
    Case("the player includes a unit", "player/a.h", "units/common_dlg.h", True),
    Case("the entry includes the framework table", "player/main.cpp", "windows/framework.h", False),
    Case("another player file includes it", "player/a.cpp", "windows/framework.h", True),
    # Other paths to a file than through its folder: beside the including
    # file, through the link of a layer's include root, between angle
    # brackets. Every file these name exists in the tree.
    Case("up and across, beside the file", "runtime/a.cpp", "../windows/b.h", True),
    Case("up twice from a library's folder", "libraries/x/a.cpp", "../../units/b.h", True),
    Case("through its own folder and out", "runtime/a.cpp", "runtime/../windows/b.h", True),
    Case("the player up to runtime state", "player/a.cpp", "../runtime/state.h", True),
    Case("angle brackets", "runtime/a.cpp", "<windows/b.h>", True),
    Case("up into a layer below", "units/a.cpp", "../windows/b.h", False),
    Case("beside, in its own folder", "libraries/x/a.cpp", "../y.h", False),
    Case("the player up to a service header", "player/a.cpp", "../runtime/services.h", False),
    Case("a system header", "runtime/a.cpp", "<windows.h>", False),
]

EXISTING = ("windows/b.h", "units/b.h", "libraries/y.h", "runtime/state.h", "runtime/services.h")


def write(root, path, text):
    target = root / path
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_text(text, encoding="utf-8")


class Tree:
    """A scratch tree with every layer folder and a README with the table."""

    def __enter__(self):
        self.directory = tempfile.TemporaryDirectory()
        self.root = Path(self.directory.name)
        for _, folder, _ in check_layers.LAYERS:
            (self.root / folder).mkdir()
        write(self.root, "README.md", "# X\n\n" + check_layers.markdown_table() + "\n")
        return self.root

    def __exit__(self, *exc):
        self.directory.cleanup()


def faults(root):
    return (list(check_layers.include_faults(root)) + list(check_layers.link_faults(root)) +
            list(check_layers.readme_faults(root)))


class IncludeTest(unittest.TestCase):
    def test_cases(self):
        for case in CASES:
            with self.subTest(case.name), Tree() as root:
                for path in EXISTING:
                    write(root, path, "")
                named = case.included if case.included.startswith("<") else f'"{case.included}"'
                write(root, case.source, f"// {case.name}\n#include {named}\n")
                found = faults(root)
                if case.refused:
                    self.assertEqual(len(found), 1, found)
                    self.assertTrue(found[0].startswith(f"{case.source}:2: "), found)
                    self.assertIn(case.included.strip("<>"), found[0])
                else:
                    self.assertEqual(found, [])

    def test_every_wrong_include_is_named(self):
        with Tree() as root:
            write(root, "runtime/a.cpp", '#include "windows/b.h"\n\n#include "runtime/c.h"\n#include "units/d.h"\n')
            self.assertEqual([f.split(" ")[0] for f in faults(root)], ["runtime/a.cpp:1:", "runtime/a.cpp:4:"])

    def test_exit_status_and_output(self):
        with Tree() as root, contextlib.redirect_stdout(io.StringIO()) as output:
            self.assertEqual(check_layers.main(["--root", str(root)]), 0)
            write(root, "windows/a.h", '#include "commands/b.h"\n')
            self.assertEqual(check_layers.main(["--root", str(root)]), 1)
        self.assertEqual(output.getvalue(), "windows/a.h:1: windows may not include commands/b.h (windows may use: runtime)\n")


@unittest.skipUnless(hasattr(os, "symlink"), "links")
class LinkTest(unittest.TestCase):
    def test_a_link_out_of_its_folder_is_refused(self):
        for link, target in (("runtime/b.h", "../windows/b.h"), ("runtime/sub", "../windows/sub")):
            with self.subTest(link), Tree() as root:
                write(root, "windows/b.h", "")
                write(root, "windows/sub/c.h", "")
                os.symlink(target, root / link)
                found = faults(root)
                self.assertEqual(len(found), 1, found)
                self.assertTrue(found[0].startswith(f"{link}: "), found)

    def test_a_link_within_its_folder_passes(self):
        with Tree() as root:
            write(root, "windows/sub/c.h", "")
            os.symlink("sub/c.h", root / "windows/c.h")
            self.assertEqual(faults(root), [])


class ReadmeTest(unittest.TestCase):
    def test_a_table_that_differs_is_refused(self):
        with Tree() as root:
            readme = root / "README.md"
            readme.write_text(readme.read_text().replace("| windows, runtime |", "| runtime |", 1))
            self.assertEqual([f.split(":")[0] for f in faults(root)], ["README.md"])


class PlayerHeadersTest(unittest.TestCase):
    def test_what_the_public_headers_include_comes_along(self):
        with Tree() as root:
            for header in check_layers.PLAYER_HEADERS + check_layers.PLAYER_ENTRY_HEADERS:
                write(root, header, "")
            write(root, "runtime/services.h", '#include "runtime/values.h"\n#include "runtime/extra.h"\n')
            write(root, "runtime/extra.h", '#include <windows.h>\n#include "local.h"\n')
            headers = check_layers.player_headers(root)
            self.assertIn("runtime/extra.h", headers)
            self.assertNotIn("local.h", headers)
            self.assertEqual(len(headers), len(set(headers)))


if __name__ == "__main__":
    unittest.main()
