#!/usr/bin/python3
"""The room check on small trees of its own: which includes it lets pass,
which it names, and a table that would let a room lean on itself.

    check_rooms_test.py
"""
import pathlib
import sys
import tempfile
import unittest
from unittest import mock

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools"))
import check_rooms  # noqa: E402


def faults_in(files, includer, line):
    """The faults of a tree holding files (empty) and includer with line."""
    with tempfile.TemporaryDirectory() as root:
        for name in files + [includer]:
            path = pathlib.Path(root, name)
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text("#pragma once\n" + (line + "\n" if name == includer else ""))
        return list(check_rooms.include_faults(root))


class Includes(unittest.TestCase):
    def test_each_include_passes_or_is_named_with_its_line(self):
        cases = [
            # files beside, the includer, its include line, the fault's start (None: it passes)
            (["today/runner/screenshot.h"], "today/shell/row_check.cpp", '#include "today/runner/screenshot.h"',
             "today/shell/row_check.cpp:2: today/shell/ may not include today/runner/screenshot.h"),
            (["today/shared/pixels.h"], "today/runner/screenshot.cpp", '#include "today/shared/pixels.h"', None),
            (["today/shell/shell_paint.h"], "today/shell/shell_window.cpp", '#include "shell_paint.h"', None),
            (["today/runner/input.h"], "today/shared/pixels.cpp", '#include "../runner/input.h"',
             "today/shared/pixels.cpp:2: today/shared/ may not include today/runner/input.h"),
            (["item/paint.h"], "cards/deck.cpp", '#  include "item/paint.h"', "cards/deck.cpp:2: cards/ may not"),
            ([], "options/settings.cpp", '#include "game/game.h"', None),
            ([], "cards/hand.cpp", '#include "game/game.h"', "cards/hand.cpp:2: cards/ may not include game/game.h"),
            ([], "device/chrome/chrome.cpp", '#include "stb_image_write.h"', None),
            (["today/gremlins/gremlins.h"], "tests/today/today_test.cpp", '#include "today/gremlins/gremlins.h"', None),
            (["item/item_state.h"], "options/settings.cpp", '#include "item/item_state.h"',
             "options/settings.cpp:2: options/ may not include item/item_state.h"),
        ]
        for files, includer, line, fault in cases:
            with self.subTest(includer=includer, line=line):
                found = faults_in(files, includer, line)
                if fault is None:
                    self.assertEqual(found, [])
                else:
                    self.assertEqual(len(found), 1, found)
                    self.assertTrue(found[0].startswith(fault), found[0])

    def test_a_table_that_lets_a_room_use_itself_or_an_unknown_room_is_refused(self):
        self.assertEqual(list(check_rooms.table_faults()), [])
        tables = [
            ({"cards": ["native"], "native": ["cards"]}, ["cards/", "native/"]),
            ({"cards": ["native"], "native": []}, []),
            ({"cards": ["nowhere"]}, ["nowhere/"]),
        ]
        for table, named in tables:
            with self.subTest(table=table), mock.patch.dict(check_rooms.ROOMS, table, clear=True):
                found = list(check_rooms.table_faults())
                self.assertEqual(len(found), len(named), found)
                for fault, room in zip(found, named):
                    self.assertIn(room, fault)


if __name__ == "__main__":
    unittest.main()
