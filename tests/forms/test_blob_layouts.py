"""Tests of scripts/blob_layouts.py: the layouts agree with themselves, and
each side (the form compiler, the generated C++ header) handles every kind."""

import os
import sys
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))

import blob_layouts  # noqa: E402
import formc  # noqa: E402

LIST_ENTRIES = [f.kind.entry for lay in blob_layouts.LAYOUTS for f in lay.fields
                if f.kind.entry]


class LayoutTest(unittest.TestCase):
    def test_no_field_is_newer_than_the_version_written(self):
        for lay in blob_layouts.LAYOUTS:
            for f in lay.fields:
                with self.subTest(layout=lay.name, field=f.key):
                    self.assertLessEqual(f.since, lay.version or 0)

    def test_keys_and_members_are_unique_within_a_layout(self):
        for lay in blob_layouts.LAYOUTS:
            with self.subTest(layout=lay.name):
                keys = [f.key for f in lay.fields]
                members = [f.member for f in lay.fields]
                self.assertEqual(len(keys), len(set(keys)))
                self.assertEqual(len(members), len(set(members)))

    def test_every_unit_type_blob_and_list_entry_is_generated(self):
        used = {t.layout for t in formc.UNIT_TYPES.values() if t.layout} | set(LIST_ENTRIES)
        self.assertEqual(used, set(blob_layouts.LAYOUTS))
        header = blob_layouts.cpp_header()
        for lay in blob_layouts.LAYOUTS:
            self.assertIn(f"struct {lay.name} {{", header)

    def test_every_kind_has_a_writer_on_both_sides(self):
        for lay in blob_layouts.LAYOUTS:
            writers = formc.ENTRY_WRITERS if lay in LIST_ENTRIES else formc.FIELD_WRITERS
            for f in lay.fields:
                with self.subTest(layout=lay.name, field=f.key):
                    self.assertIn(f.kind.wire, blob_layouts.CPP_STATEMENTS)
                    if not f.kind.entry:
                        self.assertIn(f.kind.name, writers)


if __name__ == "__main__":
    unittest.main()
