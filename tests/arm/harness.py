"""An ARM machine for Tolvane.dll: the device build loaded as Windows CE's
loader would load it, at a base other than its own, every import bound to a
stub of device_stubs.py, and its functions called as the device calls them.

The machine faults loudly: an unknown import, an invalid instruction, an
access outside memory or an unaligned one, a callee-saved register or the
stack pointer not given back; each with the address, the function there
(from the link's symbols) and the call that led there.
"""

import os
import struct

import pefile
from elftools.elf.elffile import ELFFile
from unicorn import UC_ARCH_ARM, UC_HOOK_CODE, UC_HOOK_MEM_READ, UC_HOOK_MEM_WRITE, UC_MODE_ARM, Uc, UcError
from unicorn import arm_const as arm

IMAGE_BASE = 0x10000000  # where the DLL was linked
LOAD_BASE = 0x20000000  # where it is loaded here, so that relocations matter
PROBE_BASE = 0x00100000
STUBS = 0x7F000000  # one word per import: the hook answers, then "mov pc, lr"
RETURN_TRAP = 0x7F100000  # a call into the DLL ends when it returns here
STACK_TOP = 0x7E100000
STACK_SIZE = 0x100000
HEAP = 0x60000000
HEAP_SIZE = 0x04000000
MOV_PC_LR = 0xE1A0F00E

CPU_MODELS = {"StrongARM SA-1110": arm.UC_CPU_ARM_SA1110, "XScale PXA250": arm.UC_CPU_ARM_PXA250}
CALLEE_SAVED = [getattr(arm, f"UC_ARM_REG_R{n}") for n in range(4, 12)]
ARGUMENT_REGISTERS = [arm.UC_ARM_REG_R0, arm.UC_ARM_REG_R1, arm.UC_ARM_REG_R2, arm.UC_ARM_REG_R3]


class MachineFault(Exception):
    pass


def build_path(variable):
    path = os.environ.get(variable)
    if not path or not os.path.exists(path):
        raise SystemExit(f"{variable} must name a built file (run the tests through ctest): {path}")
    return path


class Symbols:
    """Function names by address, from a linked ELF file."""

    def __init__(self, path, shift=0):
        with open(path, "rb") as file:
            elf = ELFFile(file)
            table = elf.get_section_by_name(".symtab")
            self.by_name = {s.name: s["st_value"] + shift for s in table.iter_symbols() if s["st_shndx"] != "SHN_UNDEF"}
            self.functions = sorted(
                (s["st_value"] + shift, max(s["st_size"], 4), s.name)
                for s in table.iter_symbols()
                if s["st_info"]["type"] == "STT_FUNC" and s["st_shndx"] != "SHN_UNDEF"
            )

    def name_at(self, address):
        for start, size, name in self.functions:
            if start <= address < start + size:
                return f"{name}+{address - start:#x}"
        return None


class Machine:
    """One ARM CPU with Tolvane.dll and the probe in its memory."""

    def __init__(self, stubs, cpu="StrongARM SA-1110", check_alignment=True):
        self.uc = Uc(UC_ARCH_ARM, UC_MODE_ARM)
        self.uc.ctl_set_cpu_model(CPU_MODELS[cpu])
        self.stubs = stubs
        self.calls = []  # (import, arguments) in order
        self.current_call = None
        self.heap_next = HEAP
        self.dll = pefile.PE(build_path("TOLVANE_CE_BUILD") + "/Tolvane.dll")
        self.symbols = Symbols(build_path("TOLVANE_ELF"), LOAD_BASE - IMAGE_BASE)
        self.probe_symbols = Symbols(build_path("TOLVANE_PROBE"))
        self.uc.mem_map(STACK_TOP - STACK_SIZE, STACK_SIZE)
        self.uc.mem_map(HEAP, HEAP_SIZE)
        self.uc.mem_map(RETURN_TRAP, 0x1000)
        self._load_probe()
        self._load_dll()
        if check_alignment:
            self.uc.hook_add(UC_HOOK_MEM_READ | UC_HOOK_MEM_WRITE, self._on_access)
        stubs.attach(self)

    # ---- loading -----------------------------------------------------------

    def _load_probe(self):
        with open(build_path("TOLVANE_PROBE"), "rb") as file:
            elf = ELFFile(file)
            self.uc.mem_map(PROBE_BASE, 0x10000)
            for segment in elf.iter_segments():
                if segment["p_type"] == "PT_LOAD" and segment["p_memsz"]:
                    self.uc.mem_write(segment["p_vaddr"], segment.data())

    def _load_dll(self):
        """As the CE loader does: the sections at the load base, the base
        relocations applied, the import address table filled."""
        dll = self.dll
        size = dll.OPTIONAL_HEADER.SizeOfImage
        self.uc.mem_map(LOAD_BASE, (size + 0xFFF) & ~0xFFF)
        self.uc.mem_write(LOAD_BASE, dll.header)
        for section in dll.sections:
            self.uc.mem_write(LOAD_BASE + section.VirtualAddress, section.get_data())
        delta = LOAD_BASE - dll.OPTIONAL_HEADER.ImageBase
        for block in getattr(dll, "DIRECTORY_ENTRY_BASERELOC", []):
            for entry in block.entries:
                if entry.type == 0:  # IMAGE_REL_BASED_ABSOLUTE: padding
                    continue
                if entry.type != 3:  # IMAGE_REL_BASED_HIGHLOW
                    raise MachineFault(f"base relocation of type {entry.type} at {entry.rva:#x}: CE on ARM has HIGHLOW only")
                where = LOAD_BASE + entry.rva
                (word,) = struct.unpack("<I", self.uc.mem_read(where, 4))
                self.uc.mem_write(where, struct.pack("<I", (word + delta) & 0xFFFFFFFF))
        self.imports = []
        for library in dll.DIRECTORY_ENTRY_IMPORT:
            for entry in library.imports:
                name = entry.name.decode() if entry.name else f"#{entry.ordinal}"
                key = (library.dll.decode().lower(), name)
                if not self.stubs.answers(key):
                    raise MachineFault(f"unknown import {key[1]} from {key[0]}: no stub answers it")
                self.uc.mem_write(LOAD_BASE + entry.address - dll.OPTIONAL_HEADER.ImageBase,
                                  struct.pack("<I", STUBS + 4 * len(self.imports)))
                self.imports.append(key)
        self.uc.mem_map(STUBS, 0x1000)
        self.uc.mem_write(STUBS, struct.pack("<I", MOV_PC_LR) * len(self.imports))
        self.uc.hook_add(UC_HOOK_CODE, self._on_stub, begin=STUBS, end=STUBS + 4 * len(self.imports) - 1)

    def bind(self, import_name, address):
        """Points an import's slot at ARM code instead of its stub."""
        for library in self.dll.DIRECTORY_ENTRY_IMPORT:
            for entry in library.imports:
                if entry.name and entry.name.decode() == import_name:
                    self.uc.mem_write(LOAD_BASE + entry.address - self.dll.OPTIONAL_HEADER.ImageBase,
                                      struct.pack("<I", address))
                    return
        raise MachineFault(f"the DLL does not import {import_name}")

    # ---- addresses ---------------------------------------------------------

    def function(self, name):
        """A function of the DLL, by its name in the link, as loaded here."""
        if name not in self.symbols.by_name:
            raise MachineFault(f"the link has no symbol {name}")
        return self.symbols.by_name[name]

    def export(self, ordinal):
        for symbol in self.dll.DIRECTORY_ENTRY_EXPORT.symbols:
            if symbol.ordinal == ordinal:
                return LOAD_BASE + symbol.address
        raise MachineFault(f"the DLL has no export {ordinal}")

    def describe(self, address):
        name = self.symbols.name_at(address) or self.probe_symbols.name_at(address)
        if name is None and STUBS <= address < STUBS + 4 * len(self.imports):
            name = f"the stub of {self.imports[(address - STUBS) // 4][1]}"
        return f"{address:#x} ({name or 'no function'})"

    # ---- memory ------------------------------------------------------------

    def alloc(self, size):
        address = self.heap_next
        self.heap_next += (size + 7) & ~7
        if self.heap_next > HEAP + HEAP_SIZE:
            raise MachineFault("the harness's heap is full")
        self.uc.mem_write(address, bytes(size))
        return address

    def read(self, address, size):
        return bytes(self.uc.mem_read(address, size))

    def write(self, address, data):
        self.uc.mem_write(address, bytes(data))

    def word(self, address):
        return struct.unpack("<I", self.read(address, 4))[0]

    def wide_string(self, address, count=-1):
        if not address:
            return None
        units = []
        while count < 0 or len(units) < count:
            (unit,) = struct.unpack("<H", self.read(address + 2 * len(units), 2))
            if unit == 0 and count < 0:
                break
            units.append(unit)
        return struct.pack(f"<{len(units)}H", *units).decode("utf-16-le")

    def new_wide_string(self, text):
        data = text.encode("utf-16-le") + b"\0\0"
        address = self.alloc(len(data))
        self.write(address, data)
        return address

    # ---- calls -------------------------------------------------------------

    def argument(self, index):
        """The index-th 32-bit argument of the import being answered."""
        if index < 4:
            return self.uc.reg_read(ARGUMENT_REGISTERS[index])
        return self.word(self.uc.reg_read(arm.UC_ARM_REG_SP) + 4 * (index - 4))

    def call(self, address, *arguments, description=None):
        """Calls ARM code as the device calls it: arguments in r0 to r3 and
        then on the stack, which is only 4-byte aligned on CE. Answers r0
        (and r1, for 64-bit answers, through call64)."""
        self.current_call = description or self.describe(address)
        sp = STACK_TOP - 0x100 - 4  # 4-aligned, not 8
        stacked = arguments[4:]
        sp -= 4 * len(stacked)
        for index, value in enumerate(stacked):
            self.write(sp + 4 * index, struct.pack("<I", value & 0xFFFFFFFF))
        for index, value in enumerate(arguments[:4]):
            self.uc.reg_write(ARGUMENT_REGISTERS[index], value & 0xFFFFFFFF)
        canaries = [0xC0DE0000 + n for n in range(4, 12)]
        for register, canary in zip(CALLEE_SAVED, canaries):
            self.uc.reg_write(register, canary)
        self.uc.reg_write(arm.UC_ARM_REG_SP, sp)
        self.uc.reg_write(arm.UC_ARM_REG_LR, RETURN_TRAP)
        self.fault = None
        try:
            self.uc.emu_start(address, RETURN_TRAP)
        except UcError as error:
            pc = self.uc.reg_read(arm.UC_ARM_REG_PC)
            raise MachineFault(f"{error} at {self.describe(pc)} in the call of {self.current_call}{self._last_import()}")
        if self.fault:
            raise MachineFault(f"{self.fault} in the call of {self.current_call}")
        pc = self.uc.reg_read(arm.UC_ARM_REG_PC)
        if pc != RETURN_TRAP:
            raise MachineFault(f"the call of {self.current_call} stopped at {self.describe(pc)}")
        for register, canary in zip(CALLEE_SAVED, canaries):
            if self.uc.reg_read(register) != canary:
                raise MachineFault(f"the call of {self.current_call} did not keep r{CALLEE_SAVED.index(register) + 4}")
        if self.uc.reg_read(arm.UC_ARM_REG_SP) != sp:
            raise MachineFault(f"the call of {self.current_call} did not keep the stack pointer")
        return self.uc.reg_read(arm.UC_ARM_REG_R0)

    def result64(self):
        return self.uc.reg_read(arm.UC_ARM_REG_R0) | self.uc.reg_read(arm.UC_ARM_REG_R1) << 32

    def _last_import(self):
        return f", after a call of {self.calls[-1][0]}" if self.calls else ""

    def _on_stub(self, uc, address, size, _):
        name = self.imports[(address - STUBS) // 4][1]
        try:
            answer = self.stubs.answer(name)
        except Exception as error:  # a stub's complaint: the DLL misused the call
            self.fault = f"{name}: {error}"
            answer = 0
            uc.emu_stop()
        uc.reg_write(arm.UC_ARM_REG_R0, (answer or 0) & 0xFFFFFFFF)

    def _on_access(self, uc, access, address, size, value, _):
        if address % size:
            pc = uc.reg_read(arm.UC_ARM_REG_PC)
            self.fault = f"an unaligned {size}-byte access of {address:#x} at {self.describe(pc)}"
            uc.emu_stop()

    # ---- what the stubs record --------------------------------------------

    def record(self, name, *arguments):
        self.calls.append((name, arguments))

    def calls_of(self, name):
        return [arguments for called, arguments in self.calls if called == name]
