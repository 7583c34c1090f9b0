#!/usr/bin/python3
"""Tolvane's cabinets as an independent reader (cabextract) lists them, and
their setup files' bytes where the format's description puts them.

    cabinet_test.py DEVICE.cab DEVICE.dll EMULATED.cab EMULATED.dll
"""
import pathlib
import re
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools"))
import make_cab  # noqa: E402

STRONGARM, X86_64 = 2577, 8664


def number(data, at, size):
    return struct.unpack_from("<H" if size == 2 else "<I", data, at)[0]


def entries(data, count, offset, fields):
    """A section's entries: the fixed fields (struct format), then the
    variable part whose length is the last field."""
    for _ in range(count):
        values = struct.unpack_from("<" + fields, data, offset)
        offset += struct.calcsize("<" + fields)
        yield values[:-1], data[offset:offset + values[-1]]
        offset += values[-1]


def id_path(raw, strings):
    ids = struct.unpack("<%dH" % (len(raw) // 2), raw)
    assert ids[-1] == 0, "a path of string ids ends with 0"
    return "\\".join(strings[id] for id in ids[:-1])


def setup_facts(setup):
    """What the setup file says, read at the offsets of the description:
    header fields at fixed offsets, sections where the header points."""
    counts = [number(setup, 48 + 2 * i, 2) for i in range(6)]
    offsets = [number(setup, 60 + 4 * i, 4) for i in range(6)]
    text = lambda at: setup[number(setup, at, 2):number(setup, at, 2) + number(setup, at + 2, 2)]
    strings = {id: raw.rstrip(b"\0").decode() for (id,), raw in entries(setup, counts[0], offsets[0], "HH")}
    dirs = {id: id_path(raw, strings) for (id,), raw in entries(setup, counts[1], offsets[1], "HH")}
    files = [(number_, dirs[dir_], flags, raw) for (number_, dir_, _, flags), raw in
             entries(setup, counts[2], offsets[2], "HHHIH")]
    hives = {id: (root, id_path(raw, strings)) for (id, root, _), raw in entries(setup, counts[3], offsets[3], "HHHH")}
    values = {}
    for (_, hive, substitute, kind), raw in entries(setup, counts[4], offsets[4], "HHHIH"):
        name, _, data = raw.partition(b"\0")
        values[name.decode()] = (hives[hive], substitute, kind, data)
    return {
        "signature": setup[0:4], "length": number(setup, 8, 4), "processor": number(setup, 20, 4),
        "versions": [number(setup, 24 + 4 * i, 4) for i in range(6)],
        "app": text(84), "provider": text(88), "links": counts[5], "files": files, "values": values,
    }


def item_key():
    """The item's key as the DLL reads it, from the one line that spells it
    for the C++ code: the cabinet must install that key."""
    header = (pathlib.Path(__file__).resolve().parents[2] / "device" / "today_registry.h").read_text()
    items = re.search(r'#define TODAY_ITEMS_KEY L"(.*)"', header).group(1)
    item = re.search(r'kItemKeyPath\[\] = TODAY_ITEMS_KEY L"(.*)";', header).group(1)
    return (items + item).replace("\\\\", "\\")


class Cabinets(unittest.TestCase):
    def listing(self, cabinet):
        listed = subprocess.run(["cabextract", "-l", cabinet], capture_output=True, text=True, check=True).stdout
        return re.findall(r"^\s*(\d+) \|.*\| (\S+)$", listed, re.M)

    def extracted(self, cabinet, folder):
        subprocess.run(["cabextract", "-q", "-d", folder, cabinet], check=True)
        return {path.name: path.read_bytes() for path in pathlib.Path(folder).iterdir()}

    def test_cabinets(self):
        for cabinet, dll, processor in ((DEVICE_CAB, DEVICE_DLL, STRONGARM), (EMULATED_CAB, EMULATED_DLL, X86_64)):
            with self.subTest(cabinet=cabinet), tempfile.TemporaryDirectory() as folder:
                # 8.3 names with numeric extensions, the setup file first.
                names = [name for _, name in self.listing(cabinet)]
                self.assertEqual(names, ["0Tolvane.000", "0Tolvane.001"])
                files = self.extracted(cabinet, folder)
                self.assertEqual(files["0Tolvane.001"], pathlib.Path(dll).read_bytes(), "the DLL is the build's, byte for byte")

                facts = setup_facts(files["0Tolvane.000"])
                self.assertEqual(facts["signature"], b"MSCE")
                self.assertEqual(facts["length"], len(files["0Tolvane.000"]))
                self.assertEqual(facts["processor"], processor)
                # Windows CE 3.0 or later: the oldest 3.0, no newest, no builds.
                self.assertEqual(facts["versions"], [3, 0, 0, 0, 0, 0])
                self.assertEqual(facts["app"], b"Tolvane\0")
                self.assertRegex(facts["provider"], rb"^[ -~]+\0$")
                self.assertEqual(facts["links"], 0)
                # File 1 (the .001) into %CE2%, \Windows, as Tolvane.dll.
                self.assertEqual([(n, d, raw) for n, d, _, raw in facts["files"]], [(1, "%CE2%", b"Tolvane.dll\0")])
                key = (3, item_key())  # root 3: HKLM
                sz, dword = 0x00000000, 0x00010001
                self.assertEqual(facts["values"], {
                    "DLL": (key, 0, sz, b"\\Windows\\Tolvane.dll\0"),
                    "Type": (key, 0, dword, struct.pack("<I", 4)),
                    "Enabled": (key, 0, dword, struct.pack("<I", 1)),
                    "Options": (key, 0, dword, struct.pack("<I", 1)),
                    "Order": (key, 0, dword, struct.pack("<I", 0)),
                })

    def test_made_with_its_temporary_folder_on_another_file_system(self):
        # As where /tmp is a tmpfs (Debian 13's) and the build is not.
        build = pathlib.Path(EMULATED_CAB).parent
        if build.stat().st_dev == pathlib.Path("/dev/shm").stat().st_dev:
            self.skipTest("the build is on /dev/shm's file system")
        kept, output = tempfile.tempdir, build / "elsewhere-test.cab"
        try:
            with tempfile.TemporaryDirectory(dir="/dev/shm") as elsewhere:
                tempfile.tempdir = elsewhere
                make_cab.write_cabinet(str(output), [("a.000", b"a")], 0)
            self.assertEqual([name for _, name in self.listing(str(output))], ["a.000"])
            self.assertEqual(sorted(path.name for path in build.glob("elsewhere-test.cab*")), ["elsewhere-test.cab"])
        finally:
            tempfile.tempdir = kept
            output.unlink(missing_ok=True)


if __name__ == "__main__":
    # The test command names the DLL that the device's cabinet was made of.
    if len(sys.argv) != 5:
        sys.exit("usage: cabinet_test.py DEVICE.cab DEVICE.dll EMULATED.cab EMULATED.dll")
    DEVICE_CAB, DEVICE_DLL, EMULATED_CAB, EMULATED_DLL = sys.argv[1:5]
    unittest.main(argv=sys.argv[:1])
