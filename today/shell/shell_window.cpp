#include "shell_window.h"

#include <windows.h>

#include <vector>

#include "device/device_environment.h"
#include "device/device_screen.h"
#include "device/include/todaycmn.h"
#include "gdi_headroom.h"
#include "row_check.h"
#include "settings_page.h"
#include "shell_paint.h"
#include "today/window_class.h"
#include "today_items.h"

const wchar_t kShellClassName[] = L"TolvaneToday";
const wchar_t kShellReadyEventName[] = L"TolvaneTodayReady";

namespace {

const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshMilliseconds = 2000;  // as often as the device asks its items
const UINT kMenuSettings = 1;
const UINT kMenuSoftReset = 2;
const UINT kMenuClose = 3;

// The one Today screen of this process.
struct Shell {
    HWND window = nullptr;
    std::vector<TodayItem> items;
    WORD shownMinute = 0xFFFF;
};
Shell shell;

// Rows one under the other from below the date row, each as high as its
// item reported; an item of height 0 is not shown.
void LayoutItems()
{
    int top = kFirstItemTop;
    for (TodayItem& item : shell.items) {
        const int height = static_cast<int>(item.record.cyp);
        SetWindowPos(item.record.hwndCustom, nullptr, 0, top, kDeviceScreenWidth, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | (height ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        top += height;
    }
}

void RefreshItems()
{
    if (QueryItemHeights(shell.items)) {
        LayoutItems();
        InvalidateRect(shell.window, nullptr, TRUE);
    }
}

// Items just loaded are placed whatever they answer: an item that reports
// no change of height would otherwise keep its row at the screen's corner.
void LoadItems(HWND window)
{
    shell.items = LoadTodayItems(window);
    QueryItemHeights(shell.items);
    LayoutItems();
}

void PaintContent(HDC dc)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    shell.shownMinute = now.wMinute;
    PaintShell(dc, now);
}

LRESULT OnCreate(HWND window)
{
    shell.window = window;
    LoadItems(window);
    SetTimer(window, kRefreshTimer, kRefreshMilliseconds, nullptr);
    return 0;
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintContent(dc);
    EndPaint(window, &ps);
    return 0;
}

LRESULT OnTimer(HWND window)
{
    RefreshItems();
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wMinute != shell.shownMinute) {
        RECT titleBar = {0, 0, kDeviceScreenWidth, kTitleBarHeight};
        InvalidateRect(window, &titleBar, FALSE);
    }
    return 0;
}

void SoftReset()
{
    // Asked of the device as the item asks it; alone, there is no device
    // to restart, so the screen just closes.
    HANDLE reset = OpenEventW(EVENT_MODIFY_STATE, FALSE, kSoftResetEventName);
    if (reset) {
        SetEvent(reset);
        CloseHandle(reset);
    } else {
        DestroyWindow(shell.window);
    }
}

void ShowStartMenu(HWND window)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kMenuSettings, L"Settings");
    AppendMenuW(menu, MF_STRING, kMenuSoftReset, L"Soft Reset");
    AppendMenuW(menu, MF_STRING, kMenuClose, L"Close");
    POINT at = {0, kTitleBarHeight};
    ClientToScreen(window, &at);
    UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, window, nullptr);
    DestroyMenu(menu);
    if (chosen == kMenuSettings)
        OpenSettingsPage(window);
    else if (chosen == kMenuSoftReset)
        SoftReset();
    else if (chosen == kMenuClose)
        DestroyWindow(window);
}

LRESULT OnLButtonUp(HWND window, LPARAM lParam)
{
    POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (PtInRect(&kStartButton, at))
        ShowStartMenu(window);
    return 0;
}

// The watermark record's rectangle is in the item window's coordinates.
LRESULT OnDrawWatermark(TODAYDRAWWATERMARKINFO* info)
{
    if (!info || !info->hdc)
        return FALSE;
    POINT origin = {0, 0};
    MapWindowPoints(info->hwnd, shell.window, &origin, 1);
    PaintWatermark(info->hdc, info->rc, origin);
    return TRUE;
}

// When the settings changed what the items read (shown or hidden items,
// stored options), start them again, as the device's Today screen does;
// otherwise they go on as they were, their games with them.
LRESULT OnSettingsClosed(HWND window, bool changed)
{
    if (!changed)
        return 0;
    for (TodayItem& item : shell.items)
        DestroyWindow(item.record.hwndCustom);
    LoadItems(window);
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

// The Today screen is active again: a window over it (a dialog, a message
// box, the settings) has gone. A Pocket PC keeps no pixels of a covered
// window, so what was under it paints afresh at once; Wine would show the
// pixels it kept, as they were before the window came.
LRESULT OnActivate(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != WA_INACTIVE && lParam)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    return DefWindowProcW(window, WM_ACTIVATE, wParam, lParam);  // the focus, as ever
}

LRESULT OnCheckRows()
{
    for (size_t i = 0; i < shell.items.size(); ++i) {
        if (!RowShowsItsPaint(shell.items[i].record.hwndCustom))
            return static_cast<LRESULT>(i + 1);
    }
    return 0;
}

LRESULT OnDestroy()
{
    KillTimer(shell.window, kRefreshTimer);
    ClearItemCaches(shell.items);
    PostQuitMessage(0);
    return 0;
}

LRESULT CALLBACK ShellWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_PAINT:
        return OnPaint(window);
    case WM_PRINTCLIENT:
        PaintContent(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers everything
    case WM_TIMER:
        return OnTimer(window);
    case WM_LBUTTONUP:
        return OnLButtonUp(window, lParam);
    case TODAYM_GETCOLOR:
        return wParam == TODAYCOLOR_TEXT ? kThemeTextColor : RGB(255, 255, 255);
    case TODAYM_DRAWWATERMARK:
        return OnDrawWatermark(reinterpret_cast<TODAYDRAWWATERMARKINFO*>(lParam));
    case WM_ACTIVATE:
        return OnActivate(window, wParam, lParam);
    case WM_TODAY_OPENSETTINGS:
        OpenSettingsPage(window);
        return 0;
    case WM_TODAY_SETTINGSCLOSED:
        return OnSettingsClosed(window, wParam != FALSE);
    case WM_TODAY_CHECKROWS:
        return OnCheckRows();
    case WM_TODAY_GDIHEADROOM:
        return static_cast<LRESULT>(GdiHeadroom());
    case WM_DESTROY:
        return OnDestroy();
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int RunShell(const wchar_t* readyEvent)
{
    const HINSTANCE instance = RegisterProgramClass(kShellClassName, ShellWndProc);
    // The whole screen, as on the device; child rows clip to it. In a device
    // window it is that window's: above it, and moved with it.
    const RECT screen = DeviceScreenRect();
    HWND window =
        CreateWindowExW(0, kShellClassName, L"Today", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, screen.left, screen.top,
                        kDeviceScreenWidth, kDeviceScreenHeight, DeviceWindow(), nullptr, instance, nullptr);
    if (!window)
        return 1;
    UpdateWindow(window);
    if (readyEvent) {
        HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, readyEvent);
        if (ready) {
            SetEvent(ready);
            CloseHandle(ready);
        }
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsSettingsPageMessage(window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
