#!/usr/bin/python3
"""The emulated device's install.exe and cabinets: what it installs, what an
uninstall leaves (nothing), and what bad cabinets get (a message, and
nothing installed). Runs on the test prefix's device (WINEPREFIX).

    installer_test.py BIN_FOLDER
"""
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools"))
import make_cab  # noqa: E402

X86_64 = make_cab.PROCESSORS["x86-64"]
ITEM_KEY = r"HKLM\Software\Microsoft\Today\Items\Tolvane"
RECORD_KEY = r"HKLM\Software\Apps\Tolvane"


def wine(*arguments):
    return subprocess.run(["wine", *arguments], capture_output=True, text=True, errors="replace")


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def install(cabinet):
    return wine(INSTALL, "install", windows_path(cabinet))


def registry(key):
    """The key's values as {name: (type, data as reg prints it)}, or None
    when there is no such key."""
    answer = wine("reg", "query", key)
    if answer.returncode != 0:
        return None
    return {name: (kind, data) for name, kind, data in re.findall(r"^    (\S+)    (REG_\w+)    (.*)$", answer.stdout, re.M)}


def device_file(path):
    """A device path such as \\Windows\\Tolvane.dll, on the prefix's drive."""
    host = pathlib.Path(os.environ["WINEPREFIX"], "drive_c")
    for part in path.strip("\\").split("\\"):
        # Wine's drive ignores case; the host's folders have their own.
        matches = [entry for entry in host.iterdir() if entry.name.lower() == part.lower()] if host.is_dir() else []
        host = matches[0] if matches else host / part
    return host


def cabinet(path, setup, members):
    """Writes a cabinet of the setup file (a SetupFile, its bytes, or None
    for none) and the members (name, bytes)."""
    if setup is not None:
        members = [("0Tolvane.000", setup if isinstance(setup, bytes) else setup.to_bytes())] + members
    make_cab.write_cabinet(str(path), members, 0)
    return path


def tolvane_setup(**changes):
    setup = make_cab.tolvane_setup(X86_64)
    for name, value in changes.items():
        setattr(setup, name, value)
    return setup


def patched(setup, at, values, size=4):
    """The setup file's bytes with numbers changed, from offset `at` on."""
    data = bytearray(setup.to_bytes())
    for value in values:
        data[at:at + size] = value.to_bytes(size, "little")
        at += size
    return bytes(data)


class Installer(unittest.TestCase):
    def setUp(self):
        wine(INSTALL, "uninstall")
        wine("reg", "delete", ITEM_KEY, "/f")  # what a failed run may have left
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.dll = pathlib.Path(BIN, "Tolvane.dll").read_bytes()

    def assertNothingInstalled(self, case="", record=True):
        self.assertFalse(device_file(r"\Windows\Tolvane.dll").exists(), case)
        self.assertIsNone(registry(ITEM_KEY), case)
        if record:
            self.assertIsNone(registry(RECORD_KEY), case)

    def test_tolvane_installs_from_its_cabinet_and_uninstalls_to_nothing(self):
        answer = install(pathlib.Path(BIN, "Tolvane.cab"))
        self.assertEqual(answer.returncode, 0, answer.stderr)
        self.assertEqual(device_file(r"\Windows\Tolvane.dll").read_bytes(), self.dll)
        self.assertEqual(registry(ITEM_KEY), {
            "DLL": ("REG_SZ", r"\Windows\Tolvane.dll"), "Type": ("REG_DWORD", "0x4"),
            "Enabled": ("REG_DWORD", "0x1"), "Options": ("REG_DWORD", "0x1"), "Order": ("REG_DWORD", "0x0")})
        # The item keeps its options in its key: they go with it.
        wine("reg", "add", ITEM_KEY, "/v", "CardBack", "/t", "REG_DWORD", "/d", "2", "/f")
        self.assertEqual(wine(INSTALL, "uninstall").returncode, 0)
        self.assertNothingInstalled()

    def test_a_file_it_cannot_remove_fails_the_uninstall_and_the_record_stays_for_another(self):
        dll = device_file(r"\Windows\Tolvane.dll")
        folder = lambda: (dll.unlink(), dll.mkdir(), (dll / "inside.txt").write_bytes(b""))
        unfold = lambda: ((dll / "inside.txt").unlink(), dll.rmdir())
        cases = [  # what, how the file is held, how it is let go
            ("a read-only file", lambda: dll.chmod(0o444), lambda: dll.chmod(0o644)),
            ("a folder in its place", folder, unfold),
        ]
        for what, hold, release in cases:
            with self.subTest(what):
                self.assertEqual(install(pathlib.Path(BIN, "Tolvane.cab")).returncode, 0)
                hold()
                try:
                    for answer in (wine(INSTALL, "uninstall"), install(pathlib.Path(BIN, "Tolvane.cab"))):
                        self.assertEqual(answer.returncode, 1, answer.stdout)
                        self.assertIn(r"cannot remove \Windows\Tolvane.dll", answer.stderr)
                    self.assertIsNotNone(registry(RECORD_KEY), "the record stays")
                finally:
                    release()
                self.assertEqual(wine(INSTALL, "uninstall").returncode, 0, "another uninstall finishes it")
                self.assertNothingInstalled(what)

    def test_setup_files_at_their_limits_install(self):
        size = len(tolvane_setup().to_bytes())
        last_folder = tolvane_setup()
        last_folder.add_file(2, last_folder.add_dir("%CE17%"), "notes.txt")
        cases = [  # what, the setup file, the device file it installs
            ("the newest Windows CE the device's", patched(tolvane_setup(), 32, [3, 0]), r"\Windows\Tolvane.dll"),
            ("an empty list right at the end", patched(tolvane_setup(), 92, [size, 0], 2), r"\Windows\Tolvane.dll"),
            ("the last standard folder", last_folder, r"\Windows\Start Menu\notes.txt"),
        ]
        members = [("0Tolvane.001", self.dll), ("0notes.002", b"notes")]
        for what, setup, installed in cases:
            with self.subTest(what):
                answer = install(cabinet(pathlib.Path(self.folder.name, "limit.cab"), setup, members))
                self.assertEqual(answer.returncode, 0, answer.stderr)
                self.assertTrue(device_file(installed).exists())
                self.assertEqual(wine(INSTALL, "uninstall").returncode, 0)
                self.assertNothingInstalled(what)

    def test_every_kind_of_entry_and_only_those_are_removed(self):
        # A key that was there before, with a value the cabinet must not
        # overwrite (NOCLOBBER), and one it replaces.
        key = r"HKCU\Software\Tolvane Test"
        wine("reg", "add", key, "/v", "Kept", "/d", "before", "/f")
        self.addCleanup(wine, "reg", "delete", key, "/f")
        setup = make_cab.SetupFile("TolvaneTest", "Tolvane", X86_64)
        deep = setup.add_dir("%CE1%\\Tolvane Test\\Deep")
        setup.add_file(1, deep, "notes.txt")
        hive = setup.add_key("HKCU", "Software\\Tolvane Test")
        setup.add_value(hive, "Text", "sz", "%CE2%\\notes.txt", substitute=True)
        setup.add_value(hive, "Number", "dword", 0x12345678)
        setup.add_value(hive, "Texts", "multi_sz", ["one", "two"])
        setup.add_value(hive, "Bytes", "binary", b"\x01\x02\xff")
        setup.add_value(hive, "Kept", "sz", "after", flags=make_cab.REG_NOCLOBBER)
        answer = install(cabinet(pathlib.Path(self.folder.name, "test.cab"), setup, [("00notes.001", b"notes\r\n")]))
        self.assertEqual(answer.returncode, 0, answer.stderr)
        self.assertEqual(device_file(r"\Program Files\Tolvane Test\Deep\notes.txt").read_bytes(), b"notes\r\n")
        self.assertEqual(registry(key), {
            "Kept": ("REG_SZ", "before"), "Text": ("REG_SZ", r"\Windows\notes.txt"),
            "Number": ("REG_DWORD", "0x12345678"), "Texts": ("REG_MULTI_SZ", r"one\0two"),
            "Bytes": ("REG_BINARY", "0102FF")})
        wine(INSTALL, "uninstall", "TolvaneTest")
        self.assertFalse(device_file(r"\Program Files\Tolvane Test").exists(), "the folders it made are gone")
        self.assertEqual(registry(key), {"Kept": ("REG_SZ", "before")}, "the key it did not make stays")

    def test_bad_cabinets(self):
        good = pathlib.Path(BIN, "Tolvane.cab").read_bytes()
        evil = tolvane_setup()
        evil.add_file(2, 1, "..\\evil.txt")
        outside, drive = tolvane_setup(), tolvane_setup()
        outside.add_file(2, outside.add_dir("%CE2%\\..\\..\\host"), "notes.txt")
        drive.add_file(2, drive.add_dir("Z:\\tmp"), "notes.txt")
        unknown_type = tolvane_setup()
        unknown_type.add_value(1, "Later", "dword", 1, flags=0x00020000)
        missing = tolvane_setup()
        missing.add_file(2, 1, "notes.txt")
        # A directory where the installer must write a file: it fails after
        # Tolvane.dll is written, which must then go again.
        blocked = tolvane_setup()
        blocked.add_file(2, 1, "Blocked")
        blocked_folder = device_file(r"\Windows\Blocked")
        blocked_folder.mkdir(exist_ok=True)
        self.addCleanup(blocked_folder.rmdir)
        past_folders = [tolvane_setup(), tolvane_setup()]
        for setup, folder in zip(past_folders, ("%CE18%", "%CE0%")):
            setup.add_file(2, setup.add_dir(folder), "notes.txt")
        past_root = tolvane_setup()
        past_root.hives.append((2, 5, past_root.string_ids("Software")))
        past_root.add_value(2, "Under", "dword", 1)
        three_bytes = tolvane_setup()
        three_bytes.values.append((1, False, make_cab.REG_TYPES["dword"], b"Three\0\1\2\3"))
        size = len(tolvane_setup().to_bytes())
        notes = [("0notes.002", b"notes")]
        with_dll = [("0Tolvane.001", self.dll)]

        cases = [  # what, the cabinet's bytes or its setup file and members, the message
            ("truncated", good[:len(good) // 2], "is a damaged or truncated cabinet"),
            ("not a cabinet", b"MSCE, but no cabinet\n" * 10, "is not a cabinet"),
            ("no setup file", (None, with_dll), "holds no setup file"),
            ("a section outside", (patched(tolvane_setup(), 60, [0x10000]), with_dll),
             "STRINGS section points outside it"),
            ("a name's length outside", (patched(tolvane_setup(), 86, [0x7000], 2), with_dll),
             "application name points outside it"),
            ("a list's length outside", (patched(tolvane_setup(), 92, [100, 0x7000], 2), with_dll),
             "list of unsupported platforms points outside it"),
            ("a file name with a path", (evil, with_dll + notes), '"..\\evil.txt" has a path in it'),
            ("a directory above the drive", (outside, with_dll + notes), '".." lies outside the device\'s drive'),
            ("a directory on another drive", (drive, with_dll + notes), '"Z:" lies outside the device\'s drive'),
            ("an unknown registry type", (unknown_type, with_dll), "registry type this installer does not know"),
            ("a file it does not hold", (missing, with_dll), 'does not hold file 2 ("notes.txt")'),
            ("another processor", (make_cab.tolvane_setup(make_cab.PROCESSORS["strongarm"]), with_dll),
             "is for the StrongARM processor (2577), and this device's is x86-64"),
            ("a later Windows CE", (tolvane_setup(min_version=(4, 2)), with_dll),
             "needs Windows CE 4.2 or later; this device runs Windows CE 3.0"),
            ("an earlier Windows CE", (patched(tolvane_setup(min_version=(2, 0)), 32, [2, 11]), with_dll),
             "is for Windows CE 2.11 or earlier; this device runs Windows CE 3.0"),
            ("a file it cannot write", (blocked, with_dll + notes), r"cannot write \Windows\Blocked"),
            # One past each limit that test_setup_files_at_their_limits_install takes.
            ("the Windows CE after the device's", (tolvane_setup(min_version=(3, 1)), with_dll),
             "needs Windows CE 3.1 or later"),
            ("a length one past its own", (patched(tolvane_setup(), 8, [size + 1]), with_dll),
             "says it is %d bytes long, but it is %d" % (size + 1, size)),
            ("a list one byte past the end", (patched(tolvane_setup(), 92, [size, 1], 2), with_dll),
             "list of unsupported platforms points outside it"),
            ("a list that starts past the end", (patched(tolvane_setup(), 92, [size + 1, 0], 2), with_dll),
             "list of unsupported platforms points outside it"),
            ("the folder after the last", (past_folders[0], with_dll + notes),
             'names the folder "%CE18%", which a Pocket PC does not have'),
            ("the folder before the first", (past_folders[1], with_dll + notes), 'names the folder "%CE0%"'),
            ("the root after HKU", (past_root, with_dll), "has the root 5, none of HKCR, HKCU, HKLM, HKU"),
            ("a number of three bytes", (three_bytes, with_dll), 'number "Three" is not four bytes'),
        ]
        for what, contents, message in cases:
            with self.subTest(what):
                path = pathlib.Path(self.folder.name, "bad.cab")
                if isinstance(contents, bytes):
                    path.write_bytes(contents)
                else:
                    cabinet(path, *contents)
                answer = install(path)
                try:
                    self.assertEqual(answer.returncode, 1, answer.stdout)
                    self.assertIn(message, answer.stderr)
                    self.assertIn("nothing was installed", answer.stderr)
                    self.assertNothingInstalled(what, record=False)  # written last: once, below
                except AssertionError:
                    wine(INSTALL, "uninstall")  # the next case starts afresh
                    device_file(r"\Windows\Tolvane.dll").unlink(missing_ok=True)
                    raise
        self.assertIsNone(registry(RECORD_KEY))


if __name__ == "__main__":
    if len(sys.argv) != 2 or "WINEPREFIX" not in os.environ:
        sys.exit("usage: WINEPREFIX=PREFIX installer_test.py BIN_FOLDER")
    BIN = sys.argv[1]
    INSTALL = str(pathlib.Path(BIN, "install.exe"))
    unittest.main(argv=sys.argv[:1])
