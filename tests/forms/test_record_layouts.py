"""Tests of scripts/record_layouts.py: the layouts agree with themselves, and
each side (the form compiler, the generated C++ header) handles every kind."""

import os
import sys
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))

import formc  # noqa: E402
import record_layouts  # noqa: E402

COUNTED = ("counted bytes", "counted words")


class RecordLayoutTest(unittest.TestCase):
    def test_only_reserved_bytes_are_unnamed(self):
        for lay in record_layouts.LAYOUTS:
            for f in lay.fields:
                with self.subTest(layout=lay.name, field=f.name):
                    self.assertEqual(f.name is None, f.kind.wire == "reserved")

    def test_a_record_read_in_place_names_every_count_word(self):
        for lay in record_layouts.LAYOUTS:
            for f in lay.fields:
                with self.subTest(layout=lay.name, field=f.name):
                    if f.count:
                        self.assertIn(f.kind.wire, COUNTED)
                    elif lay.offsets:
                        self.assertNotIn(f.kind.wire, COUNTED, "its offsets need the count word's")

    def test_members_are_unique_within_a_layout(self):
        for lay in record_layouts.LAYOUTS:
            with self.subTest(layout=lay.name):
                members = [m for f in lay.fields for m in (f.name, f.count) if m]
                self.assertEqual(len(members), len(set(members)))

    def test_only_a_records_last_field_runs_to_its_end(self):
        for lay in record_layouts.LAYOUTS:
            with self.subTest(layout=lay.name):
                self.assertNotIn("rest", [f.kind.wire for f in lay.fields[:-1]])

    def test_every_kind_has_a_writer_on_both_sides(self):
        for lay in record_layouts.LAYOUTS:
            for f in lay.fields:
                with self.subTest(layout=lay.name, field=f.name):
                    self.assertIn(f.kind.wire, record_layouts.CPP_STEPS)
                    self.assertIn(f.kind.wire, formc.RECORD_WRITERS)

    def test_every_layout_is_generated(self):
        header = record_layouts.cpp_header()
        for lay in record_layouts.LAYOUTS:
            with self.subTest(layout=lay.name):
                self.assertIn(f"struct {lay.name} {{", header)
                if lay.offsets:
                    self.assertIn(f"struct {lay.offsets} {{", header)

    def test_a_record_is_written_from_exactly_the_values_it_carries(self):
        values = dict(typeCode=0x00010003, name=b"", remark=b"", shortcut=0, level=0, flags=0, caption=b"-",
                      handler=formc.NO_HANDLER)
        formc.record_bytes(record_layouts.MENU_RECORD, values)
        for wrong in ({k: v for k, v in values.items() if k != "level"}, {**values, "parent": 0}):
            with self.subTest(keys=sorted(wrong)), self.assertRaises(AssertionError):
                formc.record_bytes(record_layouts.MENU_RECORD, wrong)


if __name__ == "__main__":
    unittest.main()
