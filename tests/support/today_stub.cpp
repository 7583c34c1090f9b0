#include "today_stub.h"

#include "device/today_registry.h"
#include "item/item.h"

namespace today_stub {

int colorQueries = 0;
int watermarkRequests = 0;

namespace {

LRESULT CALLBACK StubWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case TODAYM_GETCOLOR:
        ++colorQueries;
        return wParam == TODAYCOLOR_TEXT ? kTextColor : RGB(255, 0, 255);
    case TODAYM_DRAWWATERMARK: {
        ++watermarkRequests;
        auto info = reinterpret_cast<TODAYDRAWWATERMARKINFO*>(lParam);
        HBRUSH brush = CreateSolidBrush(kWatermarkColor);
        FillRect(info->hdc, &info->rc, brush);
        DeleteObject(brush);
        return TRUE;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

HWND Window()
{
    static HWND window = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = StubWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TodayStub";
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        RegisterClassW(&wc);
        return CreateWindowExW(0, L"TodayStub", L"Today", WS_POPUP | WS_VISIBLE, 40, 60, kRowWidth, 100, nullptr,
                               nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

HWND InitializeItem(TODAYLISTITEM* record, BOOL enabled)
{
    // No stored settings: the item starts from its defaults.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
    *record = {};
    lstrcpyW(record->szName, L"Tolvane");
    record->tlit = tlitCustom;
    record->fEnabled = enabled;
    record->fOptions = TRUE;
    record->hinstDLL = GetModuleHandleW(nullptr);
    HWND row = InitializeCustomItem(record, Window());
    if (row)
        MoveWindow(row, 0, 0, kRowWidth, 20, FALSE);
    return row;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

}  // namespace today_stub
