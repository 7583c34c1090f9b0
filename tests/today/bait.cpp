// A Today item that breaks one of the device's rules when its row is
// tapped, the one TOLVANE_BAIT names: "stale" (the row changes what it
// paints but asks for no repaint), "offscreen" (a window right of the
// screen), "barless" (a full-screen dialog without its title bar),
// "disable" (the Today screen disabled), "leak" (drawing objects never
// freed), "crash", "hang"; and one that a sound device survives: "late" (a
// program that shows a message box only some time after it starts).
#include <windows.h>

#include <string>

#include "device/chrome/chrome.h"
#include "device/device_screen.h"
#include "device/start_program.h"
#include "tests/support/test_row.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;  // this library, as the linker places it

namespace {

const wchar_t kClassName[] = L"BaitItem";
int taps;

bool Planted(const wchar_t* fault)
{
    wchar_t name[16] = L"";
    GetEnvironmentVariableW(L"TOLVANE_BAIT", name, 16);
    return lstrcmpW(name, fault) == 0;
}

// This library's LateMessageW run by rundll32, a program of the device.
void StartLateProgram()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), self, MAX_PATH);
    StartProgram(L"rundll32.exe \"" + std::wstring(self) + L"\",LateMessageW");
}

void Tapped(HWND row)
{
    // It leaves the row as it was, so that every tap shows the same.
    if (Planted(L"late"))
        return StartLateProgram();
    ++taps;
    if (Planted(L"offscreen"))
        CreateWindowExW(0, L"STATIC", L"off", WS_POPUP | WS_VISIBLE, 300, 100, 40, 40, row, nullptr, nullptr, nullptr);
    if (Planted(L"barless"))
        CreateWindowExW(0, L"#32770", L"Bare", WS_POPUP | WS_VISIBLE, 0, kTitleBarHeight, kDeviceScreenWidth,
                        kDeviceScreenHeight - kTitleBarHeight, row, nullptr, nullptr, nullptr);
    if (Planted(L"disable"))
        EnableWindow(GetParent(row), FALSE);
    for (int i = 0; Planted(L"leak") && i < 2000; ++i)
        CreateSolidBrush(RGB(i, 0, 0));
    if (Planted(L"crash"))
        *static_cast<volatile int*>(nullptr) = taps;
    if (Planted(L"hang"))
        Sleep(INFINITE);
    if (!Planted(L"stale"))
        InvalidateRect(row, nullptr, FALSE);
}

LRESULT CALLBACK BaitWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONUP) {
        Tapped(window);
        return 0;
    }
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PaintTestRow(window, RGB(0, 0, (taps * 40) % 256));
    return 0;
}

}  // namespace

extern "C" void CALLBACK LateMessageW(HWND, HINSTANCE, wchar_t*, int)
{
    Sleep(150);
    MessageBoxW(nullptr, L"Late", L"Bait", MB_OK);
}

extern "C" HWND WINAPI InitializeCustomItem(TODAYLISTITEM* item, HWND parent)
{
    return CreateTestRow(item, parent, kClassName, BaitWndProc);
}
