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

import struct
import sys

from linked_image import IMPORT_SLOT_PREFIX, Image, collect_relocations, refuse_bx
from pe_directories import build_exports, build_imports, build_relocations, build_resources, read_res
from pe_format import IMAGE_BASE, SECTION_ALIGNMENT, Refusal, align, write_atomically, write_pe


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
