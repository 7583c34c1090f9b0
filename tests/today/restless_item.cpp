// A Today item that never lets the device be quiet: its row repaints
// itself, in a new colour each time, for as long as it is shown.
#include <windows.h>

#include "device/include/todaycmn.h"

namespace {

const wchar_t kClassName[] = L"RestlessItem";

LRESULT CALLBACK RestlessWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    static BYTE shade;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HBRUSH brush = CreateSolidBrush(RGB(shade += 16, 0, 0));
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
    EndPaint(window, &ps);
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}

}  // namespace

extern "C" HWND WINAPI InitializeCustomItem(TODAYLISTITEM* item, HWND parent)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = RestlessWndProc;
    wc.hInstance = item->hinstDLL;
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
    item->cyp = 20;
    return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 20, parent, nullptr, item->hinstDLL,
                           nullptr);
}
