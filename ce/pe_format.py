"""The PE file of a Windows CE DLL for ARM: its constants, its headers and
sections, its checksum, written all at once or not at all."""

import os
import struct

IMAGE_BASE = 0x10000000  # ce/Tolvane.ld links here
SECTION_ALIGNMENT = 0x1000
FILE_ALIGNMENT = 0x200

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


