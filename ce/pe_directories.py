"""The sections the PE writer adds to the linked ones: exports, imports,
resources and base relocations."""

import struct

from pe_format import IMAGE_BASE, Refusal, align

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


