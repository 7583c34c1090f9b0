"""Tolvane.dll for the device, run in the ARM emulator as the Today screen
runs it: loaded, attached, its exports called, its window sent the
messages the Today screen sends. The game it plays is the host build's
under the same clock; what it paints, asks and stores are the item's facts."""

import os
import struct
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from device_stubs import ITEM_KEY, REG_DWORD, REG_SZ, THEME_TEXT_COLOUR, DeviceStubs  # noqa: E402
from harness import CPU_MODELS, LOAD_BASE, Machine, MachineFault, build_path  # noqa: E402

DLL_PROCESS_ATTACH = 1
WM_PAINT, WM_INITDIALOG, WM_COMMAND, WM_LBUTTONUP = 0x0F, 0x110, 0x111, 0x202
WM_TODAYCUSTOM_QUERYREFRESHCACHE = 0x4F3
IDOK, IDYES, IDNO, MB_YESNO = 1, 6, 7, 4
IDC_CARD_BACK_LIST, IDC_UNLINK, IDC_FIVE_DISCARDS = 1017, 1032, 1060
IOCTL_HAL_REBOOT = 0x0101003C
TODAY_SCREEN = 0x0800  # the parent window the item is given
ROW = (0, 46, 240, 66)  # where the Today screen places the row
CLOCK = (2026, 12, 13, 14, 25, 36)
UNLINK_QUESTION = ("Are you sure you would like Remove the Link to Tolvane? This will cause a Soft Reset and Tolvane "
                   "will no longer be available. You will then be able to uninstall it.")


def dword(value):
    return (REG_DWORD, struct.pack("<I", value))


def new_device(cpu="StrongARM SA-1110", **settings):
    """A machine with the DLL loaded and attached, as LoadLibrary leaves it."""
    stubs = DeviceStubs(clock=CLOCK, **settings)
    stubs.windows[TODAY_SCREEN] = {"procedure": 0, "parent": 0, "rect": (0, 0, 240, 320)}
    machine = Machine(stubs, cpu=cpu)
    entry = LOAD_BASE + machine.dll.OPTIONAL_HEADER.AddressOfEntryPoint
    if machine.call(entry, LOAD_BASE, DLL_PROCESS_ATTACH, 0, description="the entry point, attach") != 1:
        raise MachineFault("the entry point refused the attach")
    return machine, stubs


class Row:
    """The Today item's row: export 240, then the Today screen's messages."""

    def __init__(self, machine, stubs):
        self.m, self.stubs = machine, stubs
        self.item = machine.alloc(628)  # TODAYLISTITEM on CE
        machine.write(self.item + 76, struct.pack("<I", 1))  # fEnabled
        machine.write(self.item + 608, struct.pack("<I", LOAD_BASE))  # hinstDLL
        self.window = machine.call(machine.export(240), self.item, TODAY_SCREEN, description="export 240")
        stubs.windows[self.window]["rect"] = ROW

    def send(self, message, wparam=0, lparam=0):
        procedure = self.stubs.windows[self.window]["procedure"]
        return self.m.call(procedure, self.window, message, wparam, lparam, description=f"the row's message {message:#x}")

    def tap(self, x, y=10):
        return self.send(WM_LBUTTONUP, 0, y << 16 | x)

    def paint(self):
        """What a WM_PAINT draws: the icons by cell and the texts."""
        first = len(self.m.calls)
        self.send(WM_PAINT)
        drawn = self.m.calls[first:]
        icons = {(x, y): (icon, width, height) for name, (dc, x, y, icon, width, height) in
                 ((n, a) for n, a in drawn if n == "DrawIconEx")}
        texts = [a for n, a in drawn if n == "DrawTextW"]
        return icons, texts

    def shown(self, icons, texts):
        """The row as the host's reference prints it."""
        cards = []
        for position in range(5):
            icon = icons[(30 + 20 * position, 2)][0]
            cards.append("back" if 153 <= icon <= 164 else str(icon - 100))
        button = {208: "deal", 210: "draw"}[icons[(132, 2)][0]]
        status = next(text for text, rect, _, _ in texts if rect[0] == 152)
        wallet = next(text for text, rect, _, _ in texts if rect[0] != 152)
        return f"row {' '.join(cards)} | {button} | {status} | {wallet}"


class CallingStandard(unittest.TestCase):
    """The device build's compiler flags give CE's calling standard: the
    probe is compiled with them, and the DLL's code depends on it."""

    def setUp(self):
        self.machine = Machine(DeviceStubs())
        self.probe = self.machine.probe_symbols.by_name

    def test_a_64_bit_argument_after_an_int_travels_in_r1_and_r2(self):
        self.machine.call(self.probe["ProbeAddWide"], 5, 0x00000007, 0x00000001)
        self.assertEqual(self.machine.result64(), 0x10000000C)

    def test_a_one_word_struct_returns_through_a_hidden_pointer(self):
        answer = self.machine.alloc(4)
        self.machine.call(self.probe["ProbeMakeWord"], answer, 1234)
        self.assertEqual(self.machine.word(answer), 1234)

    def test_the_device_headers_sizes(self):
        sizes = struct.unpack("<8i", self.machine.read(self.probe["kProbeSizes"], 32))
        names = ["wchar_t", "an enum", "TODAYLISTITEM", "SYSTEMTIME", "WNDCLASSW", "LOGFONTW",
                 "SHMENUBARINFO", "OSVERSIONINFOW"]
        for name, size, expected in zip(names, sizes, [2, 4, 628, 16, 40, 92, 36, 276]):
            with self.subTest(name):
                self.assertEqual(size, expected)


class Faults(unittest.TestCase):
    """The machine names what went wrong, where, and in which call."""

    def test_an_import_without_a_stub_is_refused_at_load(self):
        class WithoutBitBlt(DeviceStubs):
            def answers(self, key):
                return key[1] != "BitBlt" and super().answers(key)

        with self.assertRaisesRegex(MachineFault, "unknown import BitBlt from coredll.dll"):
            Machine(WithoutBitBlt())

    def test_an_instruction_the_processor_lacks_faults_with_its_address(self):
        # BX exists from ARMv4T on: the StrongARM (ARMv4) has none, XScale has.
        for cpu, faults in (("StrongARM SA-1110", True), ("XScale PXA250", False)):
            with self.subTest(cpu):
                machine = Machine(DeviceStubs(), cpu=cpu)
                code = machine.alloc(4)
                machine.write(code, struct.pack("<I", 0xE12FFF1E))  # bx lr
                if faults:
                    with self.assertRaisesRegex(MachineFault, f"Invalid instruction .* at {code:#x} .* in the call of a BX"):
                        machine.call(code, description="a BX")
                else:
                    machine.call(code, description="a BX")


class Loading(unittest.TestCase):
    def test_the_attach_constructs_the_hand_and_the_deck_and_finds_a_pocket_pc(self):
        machine, _ = new_device()
        record = machine.function("gameSession")
        hand = struct.unpack("<29i", machine.read(record, 116))
        deck = struct.unpack("<56i", machine.read(record + 116, 224))
        self.assertEqual(hand[:27], (-1,) * 27)  # every slot empty
        self.assertEqual(hand[27], 0)  # no cards held
        self.assertEqual(deck[:54], tuple(range(1, 53)) + (-1, -1))
        self.assertEqual(deck[54:], (0, 52))  # dealt from the top, 52 cards
        # Windows CE 3.0 and "PocketPC": the row takes the Today screen's
        # colours, which only a themed shell gives.
        row = Row(machine, machine.stubs)
        _, texts = row.paint()
        self.assertTrue(all(colour == THEME_TEXT_COLOUR for _, _, colour, _ in texts))


class Game(unittest.TestCase):
    MOVES = ["m1", "m3", "m3", "m0", "m2", "m4", "b", "b", "m0", "m1", "m2", "m3", "b", "b", "b"]

    def reference(self):
        clock = "%04d-%02d-%02dT%02d:%02d:%02d" % CLOCK
        lines = subprocess.run([build_path("TOLVANE_REFERENCE"), "game", clock, *self.MOVES], check=True,
                               capture_output=True, text=True).stdout.splitlines()
        self.assertEqual(len(lines), len(self.MOVES) + 1)
        return lines

    def test_taps_and_paints_play_the_host_builds_game_on_both_processors(self):
        expected = self.reference()
        for cpu in CPU_MODELS:
            with self.subTest(cpu):
                machine, stubs = new_device(cpu)
                row = Row(machine, stubs)
                self.assertEqual(row.send(WM_TODAYCUSTOM_QUERYREFRESHCACHE, row.item), 1)
                self.assertEqual(machine.word(row.item + 72), 20)  # cyp: the row's height
                self.assertEqual(row.send(WM_TODAYCUSTOM_QUERYREFRESHCACHE, row.item), 0)
                played = [row.shown(*row.paint())]
                for move in self.MOVES:
                    row.tap(30 + 20 * int(move[1]) + 8 if move[0] == "m" else 132 + 8)
                    played.append(row.shown(*row.paint()))
                self.assertEqual(played, expected)

    def test_a_paint_draws_each_cell_text_and_font_as_the_row_is_laid_out(self):
        machine, stubs = new_device()
        row = Row(machine, stubs)
        icons, texts = row.paint()
        cells = [(3, 2)] + [(30 + 20 * p, 2) for p in range(5)] + [(132, 2)]
        self.assertEqual(sorted(icons), sorted(cells))
        self.assertEqual(icons[(3, 2)][0], 209)  # the item's icon
        self.assertEqual({(width, height) for _, width, height in icons.values()}, {(16, 16)})
        (status, status_rect, _, status_font), (wallet, wallet_rect, _, wallet_font) = sorted(
            texts, key=lambda t: t[1][0])
        self.assertEqual((status, status_rect[0]), ("Discard", 152))
        self.assertEqual((wallet, wallet_rect[2]), ("$99", 238))  # two pixels in from the right
        self.assertEqual(status_font, (11, 400, "Tahoma"))
        self.assertEqual(wallet_font, (11, 700, "Tahoma"))
        self.assertEqual(stubs.live_objects, set(), "the paint left drawing objects behind")


class Options(unittest.TestCase):
    def open_options(self, **settings):
        registry = {ITEM_KEY: {"DISCARD": dword(1), "CARDBACK": dword(156), "DLL": (REG_SZ, b"x\0")}}
        machine, stubs = new_device(registry=registry, **settings)
        self.dialog = 0x0900
        answer = machine.call(machine.export(241), self.dialog, WM_INITDIALOG, 0, 0, description="export 241")
        self.assertEqual(answer, 1)
        return machine, stubs, registry[ITEM_KEY]

    def command(self, machine, command):
        machine.call(machine.export(241), self.dialog, WM_COMMAND, command, 0, description="export 241")

    def test_the_first_message_makes_the_dialog_full_screen_and_shows_the_stored_settings(self):
        machine, stubs, _ = self.open_options()
        # SHINITDLGINFO: SHIDIM_FLAGS; the dialog; done button, full screen, input panel down.
        self.assertEqual(machine.calls_of("SHInitDialog"), [(1, self.dialog, 0x1 | 0x4 | 0x8)])
        # SHMENUBARINFO: the size the device's callers pass, the dialog, an empty bar.
        self.assertEqual(machine.calls_of("SHCreateMenuBar"), [(32, self.dialog, 1)])
        backs = stubs.controls[(self.dialog, IDC_CARD_BACK_LIST)]
        self.assertEqual(len(backs["strings"]), 12)
        self.assertEqual(backs["strings"][backs["selection"]], "Purple")  # card back 156
        self.assertEqual(stubs.controls[(self.dialog, IDC_FIVE_DISCARDS)]["check"], 1)

    def test_ok_stores_the_choices_in_the_items_key(self):
        machine, stubs, key = self.open_options()
        stubs.controls[(self.dialog, IDC_FIVE_DISCARDS)]["check"] = 0
        stubs.controls[(self.dialog, IDC_CARD_BACK_LIST)]["selection"] = 11
        self.command(machine, IDOK)
        self.assertEqual(key["DISCARD"], dword(0))
        self.assertEqual(key["CARDBACK"], dword(164))
        self.assertEqual([call[:2] for call in machine.calls_of("EndDialog")], [(self.dialog, 1)])

    def test_unlink_asks_and_only_yes_deletes_the_dll_value_and_resets(self):
        for answer, unlinked in ((IDYES, True), (IDNO, False)):
            with self.subTest(answer=answer):
                machine, _, key = self.open_options(message_box_answer=answer)
                self.command(machine, IDC_UNLINK)
                (owner, text, title, style), = machine.calls_of("MessageBoxW")
                self.assertEqual((owner, text, title, style), (self.dialog, UNLINK_QUESTION, "Tolvane", MB_YESNO))
                self.assertEqual("DLL" not in key, unlinked)
                resets = [call[0] for call in machine.calls_of("KernelIoControl")]
                self.assertEqual(resets, [IOCTL_HAL_REBOOT] if unlinked else [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
