"""The ARM linker's output as the PE writer reads it: the allocated
sections at the DLL's base, the symbols, the relocations it kept."""

import struct

from elftools.elf.elffile import ELFFile
from elftools.elf.relocation import RelocationSection

from pe_format import FLAGS, IMAGE_BASE, SECTION_ALIGNMENT, Refusal, align

# ELF relocation types of ARM that the linked image may keep.
R_ARM_NONE, R_ARM_PC24, R_ARM_ABS32, R_ARM_REL32 = 0, 1, 2, 3
R_ARM_CALL, R_ARM_JUMP24, R_ARM_TARGET1, R_ARM_V4BX, R_ARM_PREL31 = 28, 29, 38, 40, 42
ABSOLUTE_TYPES = {R_ARM_ABS32, R_ARM_TARGET1}  # TARGET1 is ABS32 for .ctors
RELATIVE_TYPES = {R_ARM_PC24, R_ARM_CALL, R_ARM_JUMP24, R_ARM_REL32, R_ARM_PREL31}
IGNORED_TYPES = {R_ARM_NONE, R_ARM_V4BX}  # no address in them

IMPORT_SLOT_PREFIX = "__imp_"

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


