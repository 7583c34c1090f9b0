#!/usr/bin/python3
"""Writes Tolvane.dll for Windows CE on ARM from the ARM linker's output.

  pe_writer.py thunks IMPORTS OUT.S
      the import thunks: one small ARM function per import of the list,
      which jumps through the import's slot of the import address table
  pe_writer.py dll ELF RES DEF IMPORTS OUT.dll
      the PE file: the linked sections, the exports of the .def file, the
      imports the code calls, the resources of the .res file, the base
      relocations and the checksum

The linker (ce/Tolvane.ld, `ld -q`) has laid the sections out at the DLL's
base and kept its relocations; this program does the rest of a Windows
linker's work. It refuses what it cannot write correctly and then writes
no file.
"""

import os
import struct
import sys

from elftools.elf.elffile import ELFFile
from elftools.elf.relocation import RelocationSection

IMAGE_BASE = 0x10000000  # ce/Tolvane.ld links here
SECTION_ALIGNMENT = 0x1000
FILE_ALIGNMENT = 0x200

# ELF relocation types of ARM that the linked image may keep.
R_ARM_NONE, R_ARM_PC24, R_ARM_ABS32, R_ARM_REL32 = 0, 1, 2, 3
R_ARM_CALL, R_ARM_JUMP24, R_ARM_TARGET1, R_ARM_V4BX, R_ARM_PREL31 = 28, 29, 38, 40, 42
ABSOLUTE_TYPES = {R_ARM_ABS32, R_ARM_TARGET1}  # TARGET1 is ABS32 for .ctors
RELATIVE_TYPES = {R_ARM_PC24, R_ARM_CALL, R_ARM_JUMP24, R_ARM_REL32, R_ARM_PREL31}
IGNORED_TYPES = {R_ARM_NONE, R_ARM_V4BX}  # no address in them

IMPORT_SLOT_PREFIX = "__imp_"

# IMAGE_SCN_* characteristics.
CODE, INITIALISED, UNINITIALISED = 0x20, 0x40, 0x80
EXECUTE, READ, WRITE, DISCARDABLE = 0x20000000, 0x40000000, 0x80000000, 0x02000000
FLAGS = {
    ".text": CODE | EXECUTE | READ,
    ".rdata": INITIALISED | READ,
    ".data": INITIALISED | READ | WRITE,  # all zeros: UNINITIALISED instead
    ".edata": INITIALISED | READ,
    ".idata": INITIALISED | READ | WRITE,
    ".rsrc": INITIALISED | READ,
    ".reloc": INITIALISED | READ | DISCARDABLE,
}


class Refusal(Exception):
    """An input this program cannot turn into a correct DLL."""


def align(value, alignment):
    return (value + alignment - 1) // alignment * alignment


# ---- The lists the build reads -------------------------------------------


def read_imports(path):
    """The import list: symbol -> (DLL, name or ordinal), in list order."""
    imports = {}
    with open(path, encoding="ascii") as listing:
        for number, line in enumerate(listing, 1):
            # A line starting with '#' is a comment; elsewhere '#' starts an ordinal.
            fields = [] if line.lstrip().startswith("#") else line.split()
            if not fields:
                continue
            if len(fields) not in (2, 3):
                raise Refusal(f"{path}:{number}: expected 'symbol DLL [name or #ordinal]'")
            symbol, dll = fields[0], fields[1]
            target = fields[2] if len(fields) == 3 else symbol
            if target.startswith("#"):
                target = int(target[1:])
            imports[symbol] = (dll, target)
    return imports


def read_exports(path):
    """The .def file's library name and its exports: ordinal -> symbol."""
    library, exports = None, {}
    with open(path, encoding="ascii") as definition:
        for line in definition:
            fields = line.split()
            if fields[:1] == ["LIBRARY"]:
                library = fields[1]
            elif len(fields) >= 2 and fields[1].startswith("@"):
                if "NONAME" not in fields:
                    raise Refusal(f"{path}: {fields[0]} must be exported by ordinal only (NONAME)")
                exports[int(fields[1][1:])] = fields[0]
    if not library or not exports:
        raise Refusal(f"{path}: no LIBRARY line or no exports")
    return library, exports


def write_thunks(imports, out):
    lines = ["@ Written by ce/pe_writer.py from the import list: do not edit.", ".arm", ".text"]
    for symbol in imports:
        lines += [
            f'.section .text.import.{symbol},"ax",%progbits',
            f".global {symbol}",
            f".type {symbol}, %function",
            ".balign 4",
            f"{symbol}:",
            # ARMv4 has no BX: the slot's address, then pc from the slot.
            "    ldr ip, 1f",
            "    ldr pc, [ip]",
            f"1:  .word {IMPORT_SLOT_PREFIX}{symbol}",
        ]
    write_atomically(out, ("\n".join(lines) + "\n").encode("ascii"))


# ---- The linked image ------------------------------------------------------


class Image:
    """The allocated sections of the linked ELF, as a PE would hold them."""

    def __init__(self, path):
        self.elf = ELFFile(open(path, "rb"))
        if self.elf["e_machine"] != "EM_ARM" or self.elf.elfclass != 32:
            raise Refusal(f"{path}: not a 32-bit ARM ELF file")
        self.sections = []  # [name, address, bytearray, initialised size]
        for section in self.elf.iter_sections():
            if not section["sh_flags"] & 2 or section["sh_size"] == 0:  # SHF_ALLOC
                continue
            address = section["sh_addr"]
            if (address - IMAGE_BASE) % SECTION_ALIGNMENT:
                raise Refusal(f"{path}: section {section.name} does not start a page of the image")
            if section.name not in FLAGS:
                raise Refusal(f"{path}: section {section.name} is none of the PE's (see ce/Tolvane.ld)")
            data = bytearray(section.data()) if section["sh_type"] != "SHT_NOBITS" else bytearray()
            self.sections.append([section.name, address, data, section["sh_size"]])
        self.symtab = self.elf.get_section_by_name(".symtab")
        if self.symtab is None:
            raise Refusal(f"{path}: no symbol table (link with -q and without -s)")
        self.functions = sorted(
            (s["st_value"], s["st_size"], s.name)
            for s in self.symtab.iter_symbols()
            if s["st_info"]["type"] == "STT_FUNC" and s["st_shndx"] != "SHN_UNDEF"
        )

    def symbol(self, name):
        found = self.symtab.get_symbol_by_name(name)
        if not found or found[0]["st_shndx"] == "SHN_UNDEF":
            return None
        return found[0]["st_value"]

    def function_at(self, address):
        for start, size, name in self.functions:
            if start <= address < start + max(size, 4):
                return name
        return "?"

    def locate(self, address):
        for section in self.sections:
            if section[1] <= address < section[1] + len(section[2]):
                return section[2], address - section[1]
        raise Refusal(f"address {address:#x} lies in no section of the file's data")

    def end(self):
        last = self.sections[-1]
        return align(last[1] + last[3], SECTION_ALIGNMENT)

    def code_ranges(self):
        """ARM code, by the ELF mapping symbols: $a starts code, $d data."""
        text = next(s for s in self.sections if s[0] == ".text")
        marks = sorted(
            (s["st_value"], s.name[:2])
            for s in self.symtab.iter_symbols()
            if s.name[:2] in ("$a", "$d", "$t") and text[1] <= s["st_value"] < text[1] + text[3]
        )
        for index, (start, kind) in enumerate(marks):
            end = marks[index + 1][0] if index + 1 < len(marks) else text[1] + text[3]
            if kind == "$t":
                raise Refusal(f"Thumb code at {start:#x} ({self.function_at(start)}): a StrongARM has no Thumb")
            if kind == "$a":
                yield start, end


def refuse_bx(image):
    """ARMv4 without Thumb has no BX or BLX: a StrongARM faults on them."""
    for start, end in image.code_ranges():
        data, offset = image.locate(start)
        for address in range(start, end, 4):
            (word,) = struct.unpack_from("<I", data, offset + address - start)
            if word >> 28 == 0xF and word & 0xFE000000 == 0xFA000000:
                kind = "BLX"
            elif word >> 28 != 0xF and word & 0x0FFFFFD0 == 0x012FFF10:
                kind = "BLX" if word & 0x20 else "BX"
            else:
                continue
            raise Refusal(
                f"a {kind} instruction at {address:#x} in {image.function_at(address)}: "
                "ARMv4 has none (link with --fix-v4bx, compile with -march=armv4 -marm)"
            )


def collect_relocations(image, imports):
    """Applies the import slots' addresses later; answers the absolute
    addresses to relocate and, per import symbol, the words naming its slot."""
    absolute, slot_words, used = [], [], []
    symbols = image.symtab
    for section in image.elf.iter_sections():
        if not isinstance(section, RelocationSection):
            continue
        target = image.elf.get_section(section["sh_info"])
        if not target["sh_flags"] & 2:
            continue  # relocations of debugging sections
        for relocation in section.iter_relocations():
            kind = relocation["r_info_type"]
            at = relocation["r_offset"]
            symbol = symbols.get_symbol(relocation["r_info_sym"])
            undefined = symbol["st_shndx"] == "SHN_UNDEF" and symbol.name != ""
            where = f"at {at:#x} in {image.function_at(at)}"
            if kind in IGNORED_TYPES:
                continue
            if kind not in ABSOLUTE_TYPES | RELATIVE_TYPES:
                raise Refusal(f"relocation type {kind} {where}: this writer does not know it")
            if undefined:
                name = symbol.name
                imported = name[len(IMPORT_SLOT_PREFIX):] if name.startswith(IMPORT_SLOT_PREFIX) else None
                if kind not in ABSOLUTE_TYPES or imported not in imports:
                    raise Refusal(
                        f"unresolved symbol {name} {where}: the item does not define it "
                        "and the device's import list (ce/coredll.imports) does not name it"
                    )
                slot_words.append((at, imported))
                if imported not in used:
                    used.append(imported)
            if kind in ABSOLUTE_TYPES:
                absolute.append(at)
    return sorted(set(absolute)), slot_words, used


# ---- The sections this program adds --------------------------------------


class Builder:
    """Bytes of one new section at a known RVA, with helpers for its parts."""

    def __init__(self, rva):
        self.rva = rva
        self.data = bytearray()

    def here(self):
        return self.rva + len(self.data)

    def pad(self, alignment):
        self.data += bytes(align(len(self.data), alignment) - len(self.data))

    def add(self, blob, alignment=4):
        self.pad(alignment)
        at = self.here()
        self.data += blob
        return at


def build_exports(rva, library, exports, image):
    out = Builder(rva)
    base = min(exports)
    count = max(exports) - base + 1
    functions = []
    for ordinal in range(base, base + count):
        name = exports.get(ordinal)
        address = image.symbol(name) if name else 0
        if name and address is None:
            raise Refusal(f"export {ordinal} names {name}, which the item does not define")
        functions.append(address - IMAGE_BASE if name else 0)
    directory_size = 40
    out.data += bytes(directory_size)
    table = out.add(struct.pack(f"<{count}I", *functions))
    name = out.add(library.encode("ascii") + b"\0", 1)
    # IMAGE_EXPORT_DIRECTORY: no names, so the exports are found by ordinal
    # only. The empty name tables still get a valid address (the name's, as
    # GNU ld writes): some readers follow the pointers whatever the count.
    struct.pack_into("<IIHHIIIIIII", out.data, 0, 0, 0, 0, 0, name, base, count, 0, table, name, name)
    return out.data, directory_size


def build_imports(rva, imports, used):
    """The import directory, lookup tables, address tables and names.
    Answers the section's bytes, the directory's size, the address table's
    range and each import's slot RVA."""
    out = Builder(rva)
    dlls = []
    for symbol in used:
        if imports[symbol][0] not in dlls:
            dlls.append(imports[symbol][0])
    by_dll = {dll: [s for s in used if imports[s][0] == dll] for dll in dlls}
    directory_size = 20 * (len(dlls) + 1)  # IMAGE_IMPORT_DESCRIPTORs, null-ended
    out.data += bytes(directory_size)
    # Names first: the lookup and address tables point at them.
    entry = {}
    for symbol in used:
        target = imports[symbol][1]
        if isinstance(target, int):
            entry[symbol] = 0x80000000 | target  # IMAGE_ORDINAL_FLAG32
        else:
            # IMAGE_IMPORT_BY_NAME: a hint (0: none) and the name, 2-aligned.
            entry[symbol] = out.add(struct.pack("<H", 0) + target.encode("ascii") + b"\0", 2)
    dll_names = {dll: out.add(dll.encode("ascii") + b"\0", 1) for dll in dlls}
    lookups = {dll: out.add(struct.pack(f"<{len(s) + 1}I", *[entry[x] for x in s], 0)) for dll, s in by_dll.items()}
    out.pad(4)
    iat_start = out.here()
    slots, addresses = {}, {}
    for dll, symbols in by_dll.items():
        # The loader overwrites each slot with the address; until then it
        # holds what the lookup table holds.
        addresses[dll] = out.add(struct.pack(f"<{len(symbols) + 1}I", *[entry[x] for x in symbols], 0))
        for index, symbol in enumerate(symbols):
            slots[symbol] = addresses[dll] + 4 * index
    iat_size = out.here() - iat_start
    for index, dll in enumerate(dlls):
        struct.pack_into("<IIIII", out.data, 20 * index, lookups[dll], 0, 0, dll_names[dll], addresses[dll])
    return out.data, directory_size, (iat_start, iat_size), slots


def read_res(path):
    """The resources of a .res file: [(type, name, language, data)]."""
    with open(path, "rb") as res:
        blob = res.read()
    resources, at = [], 0

    def name_or_id(offset):
        (first,) = struct.unpack_from("<H", blob, offset)
        if first == 0xFFFF:
            return struct.unpack_from("<H", blob, offset + 2)[0], offset + 4
        end = offset
        while struct.unpack_from("<H", blob, end)[0]:
            end += 2
        return blob[offset:end].decode("utf-16-le"), end + 2

    while at + 8 <= len(blob):
        data_size, header_size = struct.unpack_from("<II", blob, at)
        kind, next_field = name_or_id(at + 8)
        name, next_field = name_or_id(next_field)
        next_field = align(next_field, 4)
        # DataVersion, MemoryFlags, LanguageId, Version, Characteristics.
        _, _, language = struct.unpack_from("<IHH", blob, next_field)
        data = blob[at + header_size : at + header_size + data_size]
        if len(data) != data_size:
            raise Refusal(f"{path}: a resource runs past the end of the file")
        if data_size or kind != 0:  # the empty first entry marks a 32-bit .res
            resources.append((kind, name, language, data))
        at = align(at + header_size + data_size, 4)
    return resources


def order_key(key):
    # Named entries before numbered ones, each in ascending order.
    return (1, key, "") if isinstance(key, int) else (0, 0, key.upper())


def build_resources(rva, resources):
    """The resource tree: types, then names, then languages, then data."""
    tree = {}
    for kind, name, language, data in resources:
        tree.setdefault(kind, {}).setdefault(name, {})[language] = data
    out = Builder(rva)
    # Every directory first, so that a directory's offsets are known when it
    # is written: IMAGE_RESOURCE_DIRECTORY (16 bytes) and its 8-byte entries.
    directories, leaves, strings = [], [], []

    def plan(level, table):
        keys = sorted(table, key=order_key)
        directories.append((level, table, keys))
        for key in keys:
            if isinstance(key, str):
                strings.append(key)
            if level < 2:
                plan(level + 1, table[key])
            else:
                leaves.append(table[key])

    plan(0, tree)
    offset = 0
    place = {}
    for level, table, keys in directories:
        place[id(table)] = offset
        offset += 16 + 8 * len(keys)
    leaf_offset = {}
    for data in leaves:
        leaf_offset[id(data)] = offset
        offset += 16  # IMAGE_RESOURCE_DATA_ENTRY
    string_offset = {}
    for text in strings:
        if text not in string_offset:
            string_offset[text] = offset
            offset += align(2 + 2 * len(text), 4)
    out.data = bytearray(offset)
    for level, table, keys in directories:
        named = sum(isinstance(k, str) for k in keys)
        at = place[id(table)]
        struct.pack_into("<IIHHHH", out.data, at, 0, 0, 0, 0, named, len(keys) - named)
        for index, key in enumerate(keys):
            name = (0x80000000 | string_offset[key]) if isinstance(key, str) else key
            child = table[key]
            target = leaf_offset[id(child)] if level == 2 else 0x80000000 | place[id(child)]
            struct.pack_into("<II", out.data, at + 16 + 8 * index, name, target)
    for text, at in string_offset.items():
        struct.pack_into("<H", out.data, at, len(text))
        out.data[at + 2 : at + 2 + 2 * len(text)] = text.encode("utf-16-le")
    for data in leaves:
        where = out.add(data, 8)
        struct.pack_into("<IIII", out.data, leaf_offset[id(data)], where, len(data), 0, 0)
    return out.data


def build_relocations(rvas):
    """Base relocation blocks, one per 4 KiB page, of IMAGE_REL_BASED_HIGHLOW
    entries; a block's size stays a multiple of 4 with an ABSOLUTE entry."""
    out = bytearray()
    pages = {}
    for rva in rvas:
        pages.setdefault(rva & ~0xFFF, []).append(rva & 0xFFF)
    for page in sorted(pages):
        entries = [(3 << 12) | offset for offset in sorted(pages[page])]
        if len(entries) % 2:
            entries.append(0)
        out += struct.pack(f"<II{len(entries)}H", page, 8 + 2 * len(entries), *entries)
    return out


# ---- The PE file -----------------------------------------------------------


def checksum(blob, field):
    """The PE checksum: 16-bit one's-complement-style sum of the file with
    the checksum field taken as zero, plus the file's length."""
    blob = bytearray(blob)
    blob[field : field + 4] = bytes(4)
    if len(blob) % 2:
        blob += b"\0"
    total = 0
    for (word,) in struct.iter_unpack("<H", blob):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + len(blob)) & 0xFFFFFFFF


def section_flags(name, raw_size):
    """A data section with nothing in the file is zero-filled by the loader."""
    if raw_size == 0 and FLAGS[name] & INITIALISED:
        return FLAGS[name] & ~INITIALISED | UNINITIALISED
    return FLAGS[name]


def write_pe(sections, directories, entry):
    """sections: [(name, rva, bytes, virtual size)]; directories: index ->
    (rva, size)."""
    headers_size = align(0x80 + 4 + 20 + 224 + 40 * len(sections), FILE_ALIGNMENT)
    file_at, placed = headers_size, []
    for name, rva, data, size in sections:
        raw = align(len(data), FILE_ALIGNMENT)
        placed.append((name, rva, data, size, file_at if raw else 0, raw))
        file_at += raw
    image_size = align(sections[-1][1] + sections[-1][3], SECTION_ALIGNMENT)
    flags = {p[0]: section_flags(p[0], p[5]) for p in placed}
    code = sum(p[5] for p in placed if flags[p[0]] & CODE)
    initialised = sum(p[5] for p in placed if flags[p[0]] & INITIALISED)
    uninitialised = sum(align(p[3], FILE_ALIGNMENT) for p in placed if flags[p[0]] & UNINITIALISED)

    blob = bytearray(file_at)
    # DOS header: "MZ", and e_lfanew at 0x3C pointing at the PE signature.
    struct.pack_into("<2s", blob, 0, b"MZ")
    struct.pack_into("<I", blob, 0x3C, 0x80)
    blob[0x40 : 0x40 + 38] = b"This program cannot be run in DOS mode"
    struct.pack_into("<4s", blob, 0x80, b"PE\0\0")
    # COFF header: IMAGE_FILE_MACHINE_ARM; executable, no line numbers or
    # local symbols, 32-bit, a DLL.
    struct.pack_into("<HHIIIHH", blob, 0x84, 0x01C0, len(sections), 0, 0, 0, 224, 0x0002 | 0x0004 | 0x0008 | 0x0100 | 0x2000)
    text_rva = next((p[1] for p in placed if flags[p[0]] & CODE), 0)
    data_rva = next((p[1] for p in placed if not flags[p[0]] & CODE), 0)
    optional = struct.pack(
        "<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII",
        0x10B,  # PE32
        2, 40,  # linker version: GNU ld's
        code, initialised, uninitialised,
        entry - IMAGE_BASE, text_rva, data_rva,
        IMAGE_BASE, SECTION_ALIGNMENT, FILE_ALIGNMENT,
        3, 0,  # operating system version: Windows CE 3.0
        0, 0,  # image version
        3, 0,  # subsystem version: 3.0
        0,  # Win32VersionValue
        image_size, headers_size, 0,  # the checksum comes last
        9,  # IMAGE_SUBSYSTEM_WINDOWS_CE_GUI
        0,  # DllCharacteristics
        0x10000, 0x1000, 0x100000, 0x1000,  # stack and heap: reserve, commit
        0, 16,  # loader flags; sixteen data directories
    )
    for index in range(16):
        rva, size = directories.get(index, (0, 0))
        optional += struct.pack("<II", rva, size)
    blob[0x98 : 0x98 + 224] = optional
    at = 0x98 + 224
    for name, rva, data, size, pointer, raw in placed:
        struct.pack_into("<8sIIIIIIHHI", blob, at, name.encode("ascii"), size, rva, raw, pointer, 0, 0, 0, 0, flags[name])
        at += 40
        blob[pointer : pointer + len(data)] = data
    struct.pack_into("<I", blob, 0x98 + 64, checksum(blob, 0x98 + 64))
    return bytes(blob)


def write_atomically(path, blob):
    """All or nothing: a failed run leaves no half-written file."""
    temporary = f"{path}.{os.getpid()}.partial"
    try:
        with open(temporary, "wb") as out:
            out.write(blob)
        os.replace(temporary, path)
    except OSError:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise


def make_dll(elf_path, res_path, def_path, imports_path, out_path):
    imports = read_imports(imports_path)
    library, exports = read_exports(def_path)
    image = Image(elf_path)
    refuse_bx(image)
    absolute, slot_words, used = collect_relocations(image, imports)

    rva = image.end() - IMAGE_BASE
    export_data, export_size = build_exports(rva, library, exports, image)
    export_rva, rva = rva, align(rva + len(export_data), SECTION_ALIGNMENT)
    import_data, import_size, iat, slots = build_imports(rva, imports, used)
    import_rva, rva = rva, align(rva + len(import_data), SECTION_ALIGNMENT)
    resource_data = build_resources(rva, read_res(res_path))
    resource_rva, rva = rva, align(rva + len(resource_data), SECTION_ALIGNMENT)

    # Each thunk's word names its slot: the linker left the slot's address
    # out (an unresolved symbol), and an addend may stand in the word.
    for at, symbol in slot_words:
        data, offset = image.locate(at)
        (addend,) = struct.unpack_from("<I", data, offset)
        struct.pack_into("<I", data, offset, (addend + IMAGE_BASE + slots[symbol]) & 0xFFFFFFFF)
    relocation_data = build_relocations([a - IMAGE_BASE for a in absolute])

    sections = [(n, a - IMAGE_BASE, bytes(d), s) for n, a, d, s in image.sections]
    sections += [
        (".edata", export_rva, bytes(export_data), len(export_data)),
        (".idata", import_rva, bytes(import_data), len(import_data)),
        (".rsrc", resource_rva, bytes(resource_data), len(resource_data)),
    ]
    directories = {
        0: (export_rva, export_size),  # IMAGE_DIRECTORY_ENTRY_EXPORT
        1: (import_rva, import_size),  # IMPORT
        2: (resource_rva, len(resource_data)),  # RESOURCE
        12: iat,  # IAT
    }
    if relocation_data:
        sections.append((".reloc", rva, bytes(relocation_data), len(relocation_data)))
        directories[5] = (rva, len(relocation_data))  # BASERELOC
    entry = image.elf["e_entry"]
    write_atomically(out_path, write_pe(sections, directories, entry))


def main(arguments):
    try:
        if arguments[:1] == ["thunks"] and len(arguments) == 3:
            write_thunks(read_imports(arguments[1]), arguments[2])
        elif arguments[:1] == ["dll"] and len(arguments) == 6:
            make_dll(*arguments[1:])
        else:
            print(__doc__.strip().split("\n\n")[0], file=sys.stderr)
            return 2
    except (Refusal, OSError) as error:
        print(f"pe_writer: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
