// A Today item that never lets the device be quiet: its row repaints
// itself, in a new colour each time, for as long as it is shown.
#include <windows.h>

#include "tests/support/test_row.h"

namespace {

const wchar_t kClassName[] = L"RestlessItem";

LRESULT CALLBACK RestlessWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    static DWORD paints;  // a colour no two paints in a row share
    PaintTestRow(window, ++paints & 0xFFFFFF);
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}

}  // namespace

extern "C" HWND WINAPI InitializeCustomItem(TODAYLISTITEM* item, HWND parent)
{
    return CreateTestRow(item, parent, kClassName, RestlessWndProc);
}
