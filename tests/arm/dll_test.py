"""The device's Tolvane.dll read as a device's loader reads it, with readers
of its own (python3-pefile, llvm-readobj): a Windows CE PE for ARM, with the
desktop DLL's resources, and base relocations for every absolute address;
and the PE writer's refusals of what it cannot write correctly."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

import pefile
from elftools.elf.elffile import ELFFile
from elftools.elf.relocation import RelocationSection

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import build_path  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WRITER = os.path.join(SOURCE, "ce", "pe_writer.py")
IMPORTS = os.path.join(SOURCE, "ce", "coredll.imports")
ABSOLUTE = {2, 38}  # R_ARM_ABS32, R_ARM_TARGET1


def device_dll():
    return pefile.PE(build_path("TOLVANE_CE_BUILD") + "/Tolvane.dll")


def resources(dll):
    found = {}
    for kind in dll.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                found[(kind.id, name.id, language.id)] = dll.get_data(data.OffsetToData, data.Size)
    return found


def allocated_words(path):
    """Every word of the ELF file's loaded sections, by offset from the image's start."""
    with open(path, "rb") as file:
        elf = ELFFile(file)
        words, base = {}, None
        for section in elf.iter_sections():
            if section["sh_flags"] & 2 and section["sh_type"] == "SHT_PROGBITS":
                base = section["sh_addr"] - 0x1000 if base is None else base
                data = section.data()
                for at in range(0, len(data) - 3, 4):
                    words[section["sh_addr"] - base + at] = struct.unpack_from("<I", data, at)[0]
        absolute = set()
        for section in elf.iter_sections():
            if isinstance(section, RelocationSection) and elf.get_section(section["sh_info"])["sh_flags"] & 2:
                absolute |= {r["r_offset"] - base for r in section.iter_relocations() if r["r_info_type"] in ABSOLUTE}
        return words, absolute


class DeviceDll(unittest.TestCase):
    def test_headers_say_windows_ce_3_on_arm(self):
        dll = device_dll()
        facts = {
            "machine": (dll.FILE_HEADER.Machine, 0x01C0),
            "a DLL": (bool(dll.FILE_HEADER.Characteristics & 0x2000), True),
            "subsystem": (dll.OPTIONAL_HEADER.Subsystem, 9),
            "subsystem version": ((dll.OPTIONAL_HEADER.MajorSubsystemVersion,
                                   dll.OPTIONAL_HEADER.MinorSubsystemVersion), (3, 0)),
            "OS version": ((dll.OPTIONAL_HEADER.MajorOperatingSystemVersion,
                            dll.OPTIONAL_HEADER.MinorOperatingSystemVersion), (3, 0)),
            "checksum": (dll.verify_checksum(), True),
        }
        for fact, (found, expected) in facts.items():
            with self.subTest(fact):
                self.assertEqual(found, expected)
        described = subprocess.run(["file", "-b", build_path("TOLVANE_CE_BUILD") + "/Tolvane.dll"],
                                   capture_output=True, text=True).stdout
        # file 5.44 says "(DLL) (Windows CE) ARM", 5.46 "for MS Windows CE 3.00 (DLL), ARMv4".
        self.assertRegex(described, r"Windows CE.*\bARM")

    def test_exports_240_and_241_by_ordinal_only(self):
        exports = device_dll().DIRECTORY_ENTRY_EXPORT
        self.assertEqual([(s.ordinal, s.name) for s in exports.symbols], [(240, None), (241, None)])

    def test_imports_come_from_the_list_and_only_from_coredll_and_aygshell(self):
        listed = {}
        with open(IMPORTS) as listing:
            for line in listing:
                fields = line.split()
                if fields and not fields[0].startswith("#"):
                    listed[fields[0]] = (fields[1], fields[2] if len(fields) > 2 else fields[0])
        allowed = {(dll.lower(), name.lstrip("#")) for dll, name in listed.values()}
        imported = {}
        for library in device_dll().DIRECTORY_ENTRY_IMPORT:
            for entry in library.imports:
                imported[(library.dll.decode().lower(), entry.name.decode() if entry.name else str(entry.ordinal))] = 1
        self.assertLessEqual(set(imported), allowed)
        self.assertEqual({dll for dll, _ in imported}, {"coredll.dll", "aygshell.dll"})
        self.assertLessEqual({("aygshell.dll", "34"), ("aygshell.dll", "56")}, set(imported))
        # The desktop's names CE lacks are imported by CE's.
        self.assertIn(("coredll.dll", "swprintf"), imported)
        self.assertNotIn(("coredll.dll", "lstrlenW"), imported)

    def test_the_resources_are_the_desktop_dlls_byte_for_byte(self):
        desktop = pefile.PE(os.path.join(build_path("TOLVANE_DESKTOP_BUILD"), "bin", "Tolvane.dll"))
        device = resources(device_dll())
        self.assertEqual(device, resources(desktop))
        kinds = {kind for kind, _, _ in device}
        self.assertEqual(kinds, {2, 3, 5, 14})  # bitmaps, icons, dialogs, icon groups
        self.assertEqual(sum(1 for kind, _, _ in device if kind == 14), 67)
        self.assertEqual({name for kind, name, _ in device if kind == 5}, {500, 501})

    def test_every_word_that_moves_with_the_base_has_a_base_relocation(self):
        # The same link at two bases: the words that differ are the
        # absolute addresses, and each must be relocated in the PE.
        words, absolute = allocated_words(build_path("TOLVANE_ELF"))
        moved, _ = allocated_words(build_path("TOLVANE_MOVED_ELF"))
        self.assertEqual(set(words), set(moved))
        differing = {at for at in words if words[at] != moved[at]}
        self.assertTrue(differing)
        self.assertTrue(all((moved[at] - words[at]) & 0xFFFFFFFF == 0x20000000 for at in differing))
        self.assertLessEqual(differing, absolute)
        relocated = {entry.rva for block in device_dll().DIRECTORY_ENTRY_BASERELOC for entry in block.entries
                     if entry.type == 3}
        # The import thunks' words name slots the writer made: relocated too.
        self.assertEqual(relocated, absolute)

    def test_no_bx_or_blx_in_the_code(self):
        dll = device_dll()
        text = next(s for s in dll.sections if s.Name.rstrip(b"\0") == b".text")
        listing = subprocess.run(["llvm-objdump", "-d", "--triple=armv4-none-eabi", build_path("TOLVANE_ELF")],
                                 capture_output=True, text=True, check=True).stdout
        self.assertTrue(text.SizeOfRawData)
        self.assertNotRegex(listing, r"\tbl?x\t")


class Refusals(unittest.TestCase):
    """What the writer cannot write correctly, it refuses with the cause,
    and it writes no file."""

    CASES = [
        ("an unresolved symbol", "void Elsewhere(); extern \"C\" void InitializeCustomItem() { Elsewhere(); }",
         "unresolved symbol _Z9Elsewherev"),
        ("a call the import list does not name",
         "extern \"C\" int RegFlushKey(int); extern \"C\" void InitializeCustomItem() { RegFlushKey(0); }",
         "(ce/coredll.imports) does not name it"),
        ("a BX instruction", "extern \"C\" void InitializeCustomItem() { asm volatile(\"bx lr\"); }",
         "a BX instruction at"),
        ("a relocation it does not know",
         "extern int far; extern \"C\" void InitializeCustomItem() "
         "{ asm volatile(\".arch armv7-a\\n movw r0, #:lower16:far\"); }",
         "relocation type 43"),
    ]

    def write(self, folder, source):
        code = os.path.join(folder, "item.cpp")
        with open(code, "w") as file:
            file.write(source)
        elf = os.path.join(folder, "item.elf")
        subprocess.run(["arm-none-eabi-g++", "-marm", "-march=armv4", "-mabi=apcs-gnu", "-fshort-wchar",
                        "-ffreestanding", "-fno-exceptions", "-nostdlib", "-T", os.path.join(SOURCE, "ce", "Tolvane.ld"),
                        "-Wl,-q", "-Wl,--unresolved-symbols=ignore-all", "-Wl,--no-warn-mismatch",
                        "-Wl,--defsym=DllEntry=InitializeCustomItem", code, "-o", elf], check=True)
        definition = os.path.join(folder, "item.def")
        with open(definition, "w") as file:
            file.write("LIBRARY Item.dll\nEXPORTS\n    InitializeCustomItem @240 NONAME\n")
        resources = os.path.join(folder, "item.res")
        with open(resources, "wb") as file:
            file.write(struct.pack("<II", 0, 32) + b"\xff\xff\0\0\xff\xff\0\0" + bytes(16))
        out = os.path.join(folder, "item.dll")
        return subprocess.run(["/usr/bin/python3", WRITER, "dll", elf, resources, definition, IMPORTS, out],
                              capture_output=True, text=True), out

    def test_each_input_it_cannot_represent(self):
        with tempfile.TemporaryDirectory() as folder:
            for case, source, message in self.CASES:
                with self.subTest(case):
                    done, out = self.write(folder, source)
                    self.assertEqual(done.returncode, 1, done.stderr)
                    self.assertIn(message, done.stderr)
                    self.assertEqual([f for f in os.listdir(folder) if f.startswith("item.dll")], [])
            # The same inputs with nothing wrong make a DLL.
            done, out = self.write(folder, "extern \"C\" void InitializeCustomItem() {}")
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertEqual(pefile.PE(out).FILE_HEADER.Machine, 0x01C0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
