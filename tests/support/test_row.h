#pragma once

#include <windows.h>

#include "device/device_screen.h"
#include "device/include/todaycmn.h"

// What the test items share: a row 20 pixels high of a class of their own,
// painted in one colour.

inline HWND CreateTestRow(TODAYLISTITEM* item, HWND parent, const wchar_t* className, WNDPROC procedure)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = item->hinstDLL;
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    const int kHeight = 20;
    item->cyp = kHeight;
    return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE, 0, 0, kDeviceScreenWidth, kHeight, parent, nullptr,
                           item->hinstDLL, nullptr);
}

inline void PaintTestRow(HWND row, COLORREF color)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(row, &ps);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
    EndPaint(row, &ps);
}
