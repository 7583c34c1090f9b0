#!/usr/bin/python3
"""Makes Tolvane's Windows CE installation cabinet.

    tools/make_cab.py TOLVANE.DLL PROCESSOR OUTPUT.cab

PROCESSOR is strongarm (a Pocket PC), x86-64 (the emulated device) or a
processor number. The cabinet holds the setup file (.000) that a device's
installer reads: it copies the DLL to \\Windows and writes the Today screen's
key for the item. Debian's gcab writes the cabinet itself.
"""
import os
import struct
import subprocess
import sys
import tempfile

# The processors a setup file names. The format's table has no x86-64, as
# no Windows CE ran on it; the emulated device takes winnt.h's number for it.
PROCESSORS = {"any": 0, "strongarm": 2577, "x86-64": 8664}

# What a file entry's flags and a registry entry's type say.
FILE_ALWAYS_OVERWRITE = 0x40000000  # ignore the file dates
REG_TYPES = {"sz": 0x00000000, "binary": 0x00000001, "multi_sz": 0x00010000, "dword": 0x00010001}
REG_NOCLOBBER = 0x00000002
HIVE_ROOTS = {"HKCR": 1, "HKCU": 2, "HKLM": 3, "HKU": 4}

HEADER_SIZE = 100


def ascii_z(text):
    return text.encode("ascii") + b"\0"


class SetupFile:
    """The .000 file: a 100-byte header, then strings and sections that the
    header finds by offset. Paths and keys are lists of string ids."""

    def __init__(self, app_name, provider, processor, min_version=(3, 0)):
        self.app_name = app_name
        self.provider = provider
        self.processor = processor
        self.min_version = min_version
        self.strings = {}  # text -> id
        self.dirs = []  # (id, string ids)
        self.files = []  # (file number, dir id, flags, name)
        self.hives = []  # (id, root, string ids)
        self.values = []  # (hive id, substitute, type, name bytes + data)

    def string_ids(self, path):
        ids = []
        for part in path.split("\\"):
            ids.append(self.strings.setdefault(part, len(self.strings) + 1))
        return ids

    def add_dir(self, path):
        self.dirs.append((len(self.dirs) + 1, self.string_ids(path)))
        return len(self.dirs)

    def add_file(self, number, dir_id, name, flags=FILE_ALWAYS_OVERWRITE):
        self.files.append((number, dir_id, flags, name))

    def add_key(self, root, key):
        self.hives.append((len(self.hives) + 1, HIVE_ROOTS[root], self.string_ids(key)))
        return len(self.hives)

    def add_value(self, hive_id, name, kind, value, flags=0, substitute=False):
        if kind == "dword":
            data = struct.pack("<I", value)
        elif kind == "sz":
            data = ascii_z(value)
        elif kind == "multi_sz":
            data = b"".join(ascii_z(text) for text in value) + b"\0"
        else:
            data = bytes(value)
        self.values.append((hive_id, substitute, REG_TYPES[kind] | flags, ascii_z(name) + data))

    def to_bytes(self):
        def id_list(ids):  # string ids, ended by 0
            return struct.pack("<%dH" % (len(ids) + 1), *ids, 0)

        # Each STRINGS entry: id, length with its null, the text.
        strings = b"".join(
            struct.pack("<HH", id, len(text) + 1) + ascii_z(text) for text, id in self.strings.items())
        # Each DIRS entry: id, length of the path, the path as string ids.
        dirs = b"".join(struct.pack("<HH", id, 2 * len(ids) + 2) + id_list(ids) for id, ids in self.dirs)
        # Each FILES entry: the number that is the file's extension in the
        # cabinet, its directory, the number again, flags, name length, name.
        files = b"".join(
            struct.pack("<HHHIH", number, dir_id, number, flags, len(name) + 1) + ascii_z(name)
            for number, dir_id, flags, name in self.files)
        # Each REGHIVES entry: id, root (1 HKCR to 4 HKU), 0, key length, the key as string ids.
        hives = b"".join(
            struct.pack("<HHHH", id, root, 0, 2 * len(ids) + 2) + id_list(ids) for id, root, ids in self.hives)
        # Each REGKEYS entry: id, hive, whether %CEn% in the data is replaced,
        # type and flags, data length, the value's name and its data.
        values = b"".join(
            struct.pack("<HHHIH", number, hive_id, substitute, kind, len(data)) + data
            for number, (hive_id, substitute, kind, data) in enumerate(self.values, 1))
        app_name, provider = ascii_z(self.app_name), ascii_z(self.provider)

        # The header's offsets: the names right after it, then the sections.
        parts = [app_name, provider, strings, dirs, files, hives, values]
        offsets = []
        end = HEADER_SIZE
        for part in parts:
            offsets.append(end)
            end += len(part)
        links = end  # no shortcuts: an empty LINKS section at the end
        header = b"MSCE" + struct.pack(
            "<IIIII" "IIII" "II" "HHHHHH" "IIIIII" "HHHHHH" "HH",
            0,  # unknown, usually 0
            end,  # the whole setup file's length
            0,  # unknown, usually 0
            1,  # unknown, usually 1
            self.processor,
            self.min_version[0], self.min_version[1],  # the oldest Windows CE it needs
            0, 0,  # no newest Windows CE
            0, 0,  # no oldest or newest build
            len(self.strings), len(self.dirs), len(self.files), len(self.hives), len(self.values), 0,
            offsets[2], offsets[3], offsets[4], offsets[5], offsets[6], links,
            offsets[0], len(app_name), offsets[1], len(provider),
            0, 0,  # no platforms it does not support
            0, 0)  # unknown, usually 0
        assert len(header) == HEADER_SIZE
        return header + b"".join(parts)


def tolvane_setup(processor):
    """Tolvane's setup file: the DLL to \\Windows and the Today item's key."""
    setup = SetupFile("Tolvane", "Tolvane", processor)
    windows = setup.add_dir("%CE2%")
    setup.add_file(1, windows, "Tolvane.dll")
    # The key that device/today_registry.h names kItemKeyPath (the cabinet's test holds them alike).
    item = setup.add_key("HKLM", "Software\\Microsoft\\Today\\Items\\Tolvane")
    setup.add_value(item, "DLL", "sz", "\\Windows\\Tolvane.dll")
    for name, number in (("Type", 4), ("Enabled", 1), ("Options", 1), ("Order", 0)):
        setup.add_value(item, name, "dword", number)
    return setup


def write_cabinet(output, members, mtime):
    """Writes the cabinet with gcab, uncompressed: members are (name, bytes)
    in their order in the cabinet, every file dated mtime."""
    with tempfile.TemporaryDirectory() as stage:
        paths = []
        for name, data in members:
            path = os.path.join(stage, name)
            with open(path, "wb") as file:
                file.write(data)
            os.utime(path, (mtime, mtime))
            paths.append(path)
        # Written aside, so that a failure leaves no cabinet at all: beside
        # the cabinet, as a rename does not cross file systems.
        partial = output + ".partial"
        try:
            subprocess.run(["gcab", "--create", "--nopath", partial] + paths, check=True)
            os.replace(partial, output)
        finally:
            if os.path.exists(partial):
                os.remove(partial)


def main(arguments):
    if len(arguments) != 3:
        sys.exit("usage: make_cab.py TOLVANE.DLL strongarm|x86-64|NUMBER OUTPUT.cab")
    dll, processor, output = arguments
    if processor not in PROCESSORS and not processor.isdigit():
        sys.exit("make_cab.py: unknown processor %s (strongarm, x86-64 or a number)" % processor)
    setup = tolvane_setup(PROCESSORS[processor] if processor in PROCESSORS else int(processor))
    try:
        with open(dll, "rb") as file:
            library = file.read()
        # 8.3 names, the setup file first; the rest by falling number.
        members = [("0Tolvane.000", setup.to_bytes()), ("0Tolvane.001", library)]
        write_cabinet(output, members, os.stat(dll).st_mtime)
    except (OSError, subprocess.CalledProcessError) as error:
        sys.exit("make_cab.py: cannot make %s: %s" % (output, error))


if __name__ == "__main__":
    main(sys.argv[1:])
