"""The Pocket PC as Tolvane.dll meets it through its imports: each import of
coredll.dll and aygshell.dll answered as Windows CE 3.0 answers it, and
recorded. The stubs never call back into the DLL: messages that the system
would send (a paint, a dialog's first message) the tests send themselves,
as the device's message loop would."""

import struct

ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA = 0, 2, 234
HKEY_LOCAL_MACHINE = 0x80000002
REG_SZ, REG_DWORD = 1, 4
SYS_COLOR_INDEX_FLAG = 0x40000000
SPI_GETPLATFORMTYPE = 257
TODAYM_GETCOLOR, TODAYM_DRAWWATERMARK = 0x464, 0x465
TODAYCOLOR_TEXT = 0x10000004
BM_GETCHECK, BM_SETCHECK = 0xF0, 0xF1
CB_ADDSTRING, CB_GETCURSEL, CB_SETCURSEL = 0x143, 0x147, 0x14E
RT_ICON, RT_DIALOG, RT_GROUP_ICON = 3, 5, 14
ITEM_KEY = "Software\\Microsoft\\Today\\Items\\Tolvane"
THEME_TEXT_COLOUR = 0x00123456  # what this Today screen answers for its text
SYSTEM_TEXT_COLOUR = 0x00000000


class DeviceStubs:
    def __init__(self, clock=(2026, 12, 13, 14, 25, 36), registry=None, message_box_answer=7):
        self.clock = clock
        self.registry = {ITEM_KEY: {}} if registry is None else registry
        self.message_box_answer = message_box_answer
        self.random_state = 1
        self.next_handle = 0x1000
        self.classes = {}  # name -> window procedure
        self.windows = {}  # handle -> {"procedure", "parent", "rect"}
        self.open_keys = {}
        self.dc_state = {}  # dc -> {"text": colour, "font": handle, "bitmap": handle}
        self.fonts = {}  # handle -> (height, weight, face)
        self.live_objects = set()
        self.icons = {}  # handle -> icon id
        self.controls = {}  # (dialog, id) -> {"check", "strings", "selection", "enabled"}

    def attach(self, machine):
        self.m = machine
        resources = machine.dll.DIRECTORY_ENTRY_RESOURCE.entries
        self.resource_ids = {t.id: {n.id: n for n in t.directory.entries} for t in resources}

    def answers(self, key):
        dll, name = key
        return dll in ("coredll.dll", "aygshell.dll") and hasattr(self, self._method(name))

    @staticmethod
    def _method(name):
        return {"#34": "SHCreateMenuBar", "#56": "SHInitDialog"}.get(name, name)

    def answer(self, name):
        method = self._method(name)
        arguments = [self.m.argument(i) for i in range(4)]
        self.m.record(method, *arguments)
        return getattr(self, method)()

    def a(self, index):
        return self.m.argument(index)

    def handle(self):
        self.next_handle += 4
        return self.next_handle

    def replace_last_record(self, *arguments):
        name, _ = self.m.calls[-1]
        self.m.calls[-1] = (name, arguments)

    # ---- windows -----------------------------------------------------------

    def RegisterClassW(self):
        # WNDCLASSW: style, lpfnWndProc, ..., lpszClassName at 36.
        record = self.a(0)
        name = self.m.wide_string(self.m.word(record + 36))
        self.classes[name] = self.m.word(record + 4)
        return self.handle()

    def UnregisterClassW(self):
        return 1 if self.classes.pop(self.m.wide_string(self.a(0)), None) else 0

    def CreateWindowExW(self):
        name = self.m.wide_string(self.a(1))
        x, y, width, height, parent = (self.a(i) for i in range(4, 9))
        if name not in self.classes:
            return 0
        window = self.handle()
        self.windows[window] = {"procedure": self.classes[name], "parent": parent, "rect": (x, y, x + width, y + height)}
        self.replace_last_record(name, x, y, width, height, parent)
        return window

    def DefWindowProcW(self):
        return 0

    def GetParent(self):
        return self.windows.get(self.a(0), {}).get("parent", 0)

    def InvalidateRect(self):
        return 1

    def UpdateWindow(self):
        return 1

    def SetForegroundWindow(self):
        return 1

    def _write_rect(self, address, rect):
        self.m.write(address, struct.pack("<4i", *rect))

    def GetWindowRect(self):
        window = self.windows.get(self.a(0))
        if not window:
            return 0
        self._write_rect(self.a(1), window["rect"])
        return 1

    def GetClientRect(self):
        window = self.windows.get(self.a(0))
        if not window:
            return 0
        left, top, right, bottom = window["rect"]
        self._write_rect(self.a(1), (0, 0, right - left, bottom - top))
        return 1

    def BeginPaint(self):
        dc = self._new_dc()
        self.m.write(self.a(1), struct.pack("<I", dc))  # PAINTSTRUCT.hdc
        return dc

    def EndPaint(self):
        return 1

    def SendMessageW(self):
        message = self.a(1)
        if message == TODAYM_GETCOLOR:
            return THEME_TEXT_COLOUR if self.a(2) == TODAYCOLOR_TEXT else 0
        if message == TODAYM_DRAWWATERMARK:
            return 1
        return 0

    # ---- drawing -----------------------------------------------------------

    def _new_dc(self):
        dc = self.handle()
        self.dc_state[dc] = {"text": SYSTEM_TEXT_COLOUR, "font": None, "bitmap": None}
        return dc

    def _colour_index(self, index):
        if not index & SYS_COLOR_INDEX_FLAG:
            raise ValueError(f"colour index {index} without SYS_COLOR_INDEX_FLAG: CE knows no such colour")
        return index & 0xFF

    def GetSysColor(self):
        self._colour_index(self.a(0))
        return SYSTEM_TEXT_COLOUR

    def GetSysColorBrush(self):
        return 0x5000 + self._colour_index(self.a(0))

    def CreateCompatibleDC(self):
        dc = self._new_dc()
        self.live_objects.add(dc)  # a DC too lives until it is deleted
        return dc

    def _new_object(self):
        """A drawing object, alive until DeleteObject."""
        handle = self.handle()
        self.live_objects.add(handle)
        return handle

    def CreateCompatibleBitmap(self):
        return self._new_object()

    def CreateFontIndirectW(self):
        record = self.a(0)
        # LOGFONTW: lfHeight, ..., lfWeight at 16, lfFaceName at 28.
        height, weight = struct.unpack("<i12xi", self.m.read(record, 20))
        font = self._new_object()
        self.fonts[font] = (height, weight, self.m.wide_string(record + 28))
        return font

    def CreatePen(self):
        return self._new_object()

    def CreateSolidBrush(self):
        return self._new_object()

    def SelectObject(self):
        dc, selected = self.a(0), self.a(1)
        state = self.dc_state.get(dc)
        if state is None:
            return 0
        kind = "font" if selected in self.fonts else "bitmap"
        previous, state[kind] = state[kind], selected
        return previous or 0x7000  # the stock object the DC started with

    def DeleteObject(self):
        if self.a(0) not in self.live_objects:
            return 0
        self.live_objects.discard(self.a(0))
        return 1

    def DeleteDC(self):
        return self.DeleteObject()

    def SetBkMode(self):
        return 2

    def SetBkColor(self):
        return 0

    def SetTextColor(self):
        state = self.dc_state.get(self.a(0))
        previous = state["text"] if state else 0
        if state:
            state["text"] = self.a(1)
        return previous

    def FillRect(self):
        return 1

    def Rectangle(self):
        return 1

    def BitBlt(self):
        return 1

    def GetTextExtentExPointW(self):
        # Six pixels a character, eleven high: a simple font of the device's.
        length = self.a(2)
        self.m.write(self.a(6), struct.pack("<ii", 6 * length, 11))
        return 1

    def DrawTextW(self):
        dc, text, count, rect = (self.a(i) for i in range(4))
        state = self.dc_state.get(dc, {})
        font = self.fonts.get(state.get("font"), (0, 0, ""))
        count = count - (1 << 32) if count & 0x80000000 else count  # -1: up to the terminating zero
        self.replace_last_record(
            self.m.wide_string(text, count), struct.unpack("<4i", self.m.read(rect, 16)), state.get("text"), font)
        return 11

    def LoadImageW(self):
        icon_id, kind = self.a(1), self.a(2)
        if kind != 1 or icon_id not in self.resource_ids.get(RT_GROUP_ICON, {}):  # IMAGE_ICON
            return 0
        icon = self.handle()
        self.icons[icon] = icon_id
        return icon

    def DestroyIcon(self):
        return 1 if self.icons.pop(self.a(0), None) is not None else 0

    def DrawIconEx(self):
        dc, x, y, icon = (self.a(i) for i in range(4))
        width, height = self.a(4), self.a(5)
        self.replace_last_record(dc, x, y, self.icons.get(icon), width, height)
        return 1 if icon in self.icons else 0

    # ---- resources and dialogs --------------------------------------------

    def FindResourceW(self):
        entry = self.resource_ids.get(self.a(2), {}).get(self.a(1))
        return id(entry) & 0x7FFFFFF0 if entry else 0

    def LoadResource(self):
        for kind in self.resource_ids.values():
            for entry in kind.values():
                if id(entry) & 0x7FFFFFF0 == self.a(1):
                    data = entry.directory.entries[0].data.struct
                    return 0x20000000 + data.OffsetToData  # in the loaded image
        return 0

    def LockResource(self):
        return self.a(0)

    def GetModuleHandleW(self):
        return 0x20000000 if self.m.wide_string(self.a(0)).lower() == "tolvane.dll" else 0

    def DialogBoxIndirectParamW(self):
        return 1

    def EndDialog(self):
        return 1

    def MessageBoxW(self):
        self.replace_last_record(self.a(0), self.m.wide_string(self.a(1)), self.m.wide_string(self.a(2)), self.a(3))
        return self.message_box_answer

    def _control(self, dialog, control):
        return self.controls.setdefault((dialog, control), {"check": 0, "strings": [], "selection": -1, "enabled": 1})

    def GetDlgItem(self):
        return (self.a(0) << 12 | self.a(1)) & 0xFFFFFFFF

    def EnableWindow(self):
        window = self.a(0)
        self._control(window >> 12, window & 0xFFF)["enabled"] = self.a(1)
        return 0

    def SendDlgItemMessageW(self):
        control = self._control(self.a(0), self.a(1))
        message, wparam, lparam = self.a(2), self.a(3), self.a(4)
        if message == BM_SETCHECK:
            control["check"] = wparam
        elif message == BM_GETCHECK:
            return control["check"]
        elif message == CB_ADDSTRING:
            control["strings"].append(self.m.wide_string(lparam))
            return len(control["strings"]) - 1
        elif message == CB_SETCURSEL:
            control["selection"] = wparam if wparam < len(control["strings"]) else -1
            return control["selection"]
        elif message == CB_GETCURSEL:
            return control["selection"] & 0xFFFFFFFF
        return 0

    def SHInitDialog(self):
        # SHINITDLGINFO: dwMask, hDlg, dwFlags.
        self.replace_last_record(*struct.unpack("<3I", self.m.read(self.a(0), 12)))
        return 1

    def SHCreateMenuBar(self):
        # SHMENUBARINFO: cbSize, hwndParent, dwFlags, ...
        self.replace_last_record(*struct.unpack("<3I", self.m.read(self.a(0), 12)))
        return 1

    # ---- system ------------------------------------------------------------

    def GetLocalTime(self):
        year, month, day, hour, minute, second = self.clock
        # SYSTEMTIME: year, month, day of week, day, hour, minute, second, ms.
        self.m.write(self.a(0), struct.pack("<8H", year, month, 0, day, hour, minute, second, 0))
        return 0

    def GetVersionExW(self):
        record = self.a(0)
        if self.m.word(record) != 276:  # OSVERSIONINFOW with 2-byte characters
            raise ValueError(f"OSVERSIONINFOW of {self.m.word(record)} bytes, where CE's has 276")
        self.m.write(record + 4, struct.pack("<4I", 3, 0, 0, 3))  # 3.0, VER_PLATFORM_WIN32_CE
        return 1

    def SystemParametersInfoW(self):
        if self.a(0) != SPI_GETPLATFORMTYPE:
            return 0
        self.m.write(self.a(2), "PocketPC\0".encode("utf-16-le"))
        return 1

    def KernelIoControl(self):
        return 0  # a reset that returns has failed; the tests read the call

    # ---- the registry ------------------------------------------------------

    def RegOpenKeyExW(self):
        path = self.m.wide_string(self.a(1)).lstrip("\\")  # CE takes either form
        if self.a(0) != HKEY_LOCAL_MACHINE or path not in self.registry:
            return ERROR_FILE_NOT_FOUND
        key = self.handle()
        self.open_keys[key] = path
        self.m.write(self.a(4), struct.pack("<I", key))
        return ERROR_SUCCESS

    def RegCloseKey(self):
        return ERROR_SUCCESS if self.open_keys.pop(self.a(0), None) else 6  # ERROR_INVALID_HANDLE

    def _values(self):
        return self.registry[self.open_keys[self.a(0)]]

    def RegQueryValueExW(self):
        name = self.m.wide_string(self.a(1))
        kind_at, data_at, size_at = self.a(3), self.a(4), self.a(5)
        if name not in self._values():
            return ERROR_FILE_NOT_FOUND
        kind, data = self._values()[name]
        if kind_at:
            self.m.write(kind_at, struct.pack("<I", kind))
        room = self.m.word(size_at)
        self.m.write(size_at, struct.pack("<I", len(data)))
        if data_at and room < len(data):
            return ERROR_MORE_DATA
        if data_at:
            self.m.write(data_at, data)
        return ERROR_SUCCESS

    def RegSetValueExW(self):
        name = self.m.wide_string(self.a(1))
        kind, data, size = self.a(3), self.a(4), self.a(5)
        self._values()[name] = (kind, self.m.read(data, size))
        return ERROR_SUCCESS

    def RegDeleteValueW(self):
        return ERROR_SUCCESS if self._values().pop(self.m.wide_string(self.a(1)), None) else ERROR_FILE_NOT_FOUND

    # ---- the C runtime -----------------------------------------------------

    def srand(self):
        self.random_state = self.a(0)
        return 0

    def rand(self):
        # The Microsoft C runtime's generator, the same on the device.
        self.random_state = (self.random_state * 214013 + 2531011) & 0xFFFFFFFF
        return (self.random_state >> 16) & 0x7FFF

    def wcscpy(self):
        text = self.m.wide_string(self.a(1))
        self.m.write(self.a(0), text.encode("utf-16-le") + b"\0\0")
        return self.a(0)

    def wcsncpy(self):
        text = self.m.wide_string(self.a(1))[: self.a(2)]
        data = text.encode("utf-16-le")
        self.m.write(self.a(0), data + bytes(2 * self.a(2) - len(data)))
        return self.a(0)

    def wcslen(self):
        return len(self.m.wide_string(self.a(0)))

    def lstrcmpW(self):
        first, second = self.m.wide_string(self.a(0)), self.m.wide_string(self.a(1))
        return (first > second) - (first < second)

    def memset(self):
        self.m.write(self.a(0), bytes([self.a(1) & 0xFF]) * self.a(2))
        return self.a(0)

    def memcpy(self):
        self.m.write(self.a(0), self.m.read(self.a(1), self.a(2)))
        return self.a(0)

    memmove = memcpy

    def swprintf(self):
        """CE's swprintf(buffer, format, ...), no count: %d, %u, %ls, %%."""
        form = self.m.wide_string(self.a(1))
        out, argument, at = [], 2, 0
        while at < len(form):
            if form[at] != "%":
                out.append(form[at])
                at += 1
                continue
            conversion = form[at + 1 : at + 3]
            if conversion.startswith("%"):
                out.append("%")
                at += 2
                continue
            value = self.a(argument)
            argument += 1
            if conversion.startswith("d"):
                out.append(str(value - (1 << 32) if value & 0x80000000 else value))
                at += 2
            elif conversion.startswith("u"):
                out.append(str(value))
                at += 2
            elif conversion == "ls":
                out.append(self.m.wide_string(value))
                at += 3
            else:
                raise ValueError(f"format {form!r}: this stub knows %d, %u, %ls and %%")
        text = "".join(out)
        self.m.write(self.a(0), text.encode("utf-16-le") + b"\0\0")
        return len(text)
