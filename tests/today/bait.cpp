// A Today item that breaks one of the device's rules when its row is
// tapped, the one TOLVANE_BAIT names: "stale" (the row changes what it
// paints but asks for no repaint), "offscreen" (a window right of the
// screen), "barless" (a full-screen dialog without its title bar),
// "disable" (the Today screen disabled), "leak" (drawing objects never
// freed), "crash", "hang".
#include <windows.h>

#include "tests/support/test_row.h"

namespace {

const wchar_t kClassName[] = L"BaitItem";
int taps;

bool Planted(const wchar_t* fault)
{
    wchar_t name[16] = L"";
    GetEnvironmentVariableW(L"TOLVANE_BAIT", name, 16);
    return lstrcmpW(name, fault) == 0;
}

void Tapped(HWND row)
{
    ++taps;
    if (Planted(L"offscreen"))
        CreateWindowExW(0, L"STATIC", L"off", WS_POPUP | WS_VISIBLE, 300, 100, 40, 40, row, nullptr, nullptr, nullptr);
    if (Planted(L"barless"))
        CreateWindowExW(0, L"#32770", L"Bare", WS_POPUP | WS_VISIBLE, 0, 26, 240, 294, row, nullptr, nullptr, nullptr);
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

extern "C" HWND WINAPI InitializeCustomItem(TODAYLISTITEM* item, HWND parent)
{
    return CreateTestRow(item, parent, kClassName, BaitWndProc);
}
