#include "shell_window.h"

#include <windows.h>
#include <stdio.h>

#include <vector>

#include "device/device_environment.h"
#include "device/device_screen.h"
#include "device/include/todaycmn.h"
#include "gdi_headroom.h"
#include "row_check.h"
#include "settings_page.h"
#include "shell_paint.h"
#include "today/shared/window_class.h"
#include "today_items.h"

namespace {

const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshMilliseconds = 2000;  // as often as the device asks its items
const UINT kMenuSettings = 1;
const UINT kMenuSoftReset = 2;
const UINT kMenuClose = 3;

// A Today screen window's own state, kept with the window.
struct Shell {
    HWND window = nullptr;
    LoadedItems items;
    WORD shownMinute = 0xFFFF;
};

// Rows one under the other from below the date row, each as high as its
// item reported; an item of height 0 is not shown.
void LayoutItems(Shell& shell)
{
    int top = kFirstItemTop;
    for (TodayItem& item : shell.items.started) {
        const int height = static_cast<int>(item.record.cyp);
        SetWindowPos(item.record.hwndCustom, nullptr, 0, top, kDeviceScreenWidth, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | (height ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        top += height;
    }
}

void RefreshItems(Shell& shell)
{
    if (QueryItemHeights(shell.items.started)) {
        LayoutItems(shell);
        InvalidateRect(shell.window, nullptr, TRUE);
    }
}

// Items just loaded are placed whatever they answer: an item that reports
// no change of height would otherwise keep its row at the screen's corner.
void LoadItems(Shell& shell)
{
    shell.items = LoadTodayItems(shell.window);
    ShareLeftOut(shell.window, &shell.items.leftOut);
    QueryItemHeights(shell.items.started);
    LayoutItems(shell);
}

void PaintContent(Shell& shell, HDC dc)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    shell.shownMinute = now.wMinute;
    PaintShell(dc, now);
}

LRESULT OnCreate(Shell& shell)
{
    LoadItems(shell);
    SetTimer(shell.window, kRefreshTimer, kRefreshMilliseconds, nullptr);
    return 0;
}

LRESULT OnPaint(Shell& shell)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(shell.window, &ps);
    PaintContent(shell, dc);
    EndPaint(shell.window, &ps);
    return 0;
}

LRESULT OnTimer(Shell& shell)
{
    RefreshItems(shell);
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wMinute != shell.shownMinute) {
        RECT titleBar = {0, 0, kDeviceScreenWidth, kTitleBarHeight};
        InvalidateRect(shell.window, &titleBar, FALSE);
    }
    return 0;
}

void SoftReset(HWND window)
{
    // Asked of the device as the item asks it; alone, there is no device
    // to restart, so the screen just closes.
    HANDLE reset = OpenEventW(EVENT_MODIFY_STATE, FALSE, kSoftResetEventName);
    if (reset) {
        SetEvent(reset);
        CloseHandle(reset);
    } else {
        DestroyWindow(window);
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
        SoftReset(window);
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
LRESULT OnDrawWatermark(HWND window, TODAYDRAWWATERMARKINFO* info)
{
    if (!info || !info->hdc)
        return FALSE;
    POINT origin = {0, 0};
    MapWindowPoints(info->hwnd, window, &origin, 1);
    PaintWatermark(info->hdc, info->rc, origin);
    return TRUE;
}

// When the settings changed what the items read (shown or hidden items,
// stored options), start them again, as the device's Today screen does;
// otherwise they go on as they were, their games with them.
LRESULT OnSettingsClosed(Shell& shell, bool changed)
{
    if (!changed)
        return 0;
    for (TodayItem& item : shell.items.started)
        DestroyWindow(item.record.hwndCustom);
    LoadItems(shell);
    InvalidateRect(shell.window, nullptr, TRUE);
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

LRESULT OnCheckRows(const Shell& shell)
{
    for (size_t i = 0; i < shell.items.started.size(); ++i) {
        if (!RowShowsItsPaint(shell.items.started[i].record.hwndCustom))
            return static_cast<LRESULT>(i + 1);
    }
    return 0;
}

LRESULT OnDestroy(Shell& shell)
{
    KillTimer(shell.window, kRefreshTimer);
    ShareLeftOut(shell.window, nullptr);
    ClearItemCaches(shell.items.started);
    PostQuitMessage(0);
    return 0;
}

// The window's state comes with its creation and stays with the window.
Shell* AttachShell(HWND window, LPARAM createParameters)
{
    auto shell = static_cast<Shell*>(reinterpret_cast<CREATESTRUCTW*>(createParameters)->lpCreateParams);
    shell->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shell));
    return shell;
}

LRESULT CALLBACK ShellWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Shell* shell = message == WM_NCCREATE ? AttachShell(window, lParam)
                                          : reinterpret_cast<Shell*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!shell)  // the few messages before WM_NCCREATE
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        return OnCreate(*shell);
    case WM_PAINT:
        return OnPaint(*shell);
    case WM_PRINTCLIENT:
        PaintContent(*shell, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers everything
    case WM_TIMER:
        return OnTimer(*shell);
    case WM_LBUTTONUP:
        return OnLButtonUp(window, lParam);
    case TODAYM_GETCOLOR:
        return wParam == TODAYCOLOR_TEXT ? kThemeTextColor : RGB(255, 255, 255);
    case TODAYM_DRAWWATERMARK:
        return OnDrawWatermark(window, reinterpret_cast<TODAYDRAWWATERMARKINFO*>(lParam));
    case WM_ACTIVATE:
        return OnActivate(window, wParam, lParam);
    case WM_TODAY_OPENSETTINGS:
        OpenSettingsPage(window);
        return 0;
    case WM_TODAY_SETTINGSCLOSED:
        return OnSettingsClosed(*shell, wParam != FALSE);
    case WM_TODAY_CHECKROWS:
        return OnCheckRows(*shell);
    case WM_TODAY_GDIHEADROOM:
        return static_cast<LRESULT>(GdiHeadroom());
    case WM_DESTROY:
        return OnDestroy(*shell);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Waits until the device's screen is up, as the device says on the pipe it
// gave: its device window, or 0 where the desktop is its screen. False when
// the device ended first.
bool AwaitDeviceScreen(HANDLE news)
{
    unsigned long long window = 0;
    DWORD read = 0;
    const bool told = ReadFile(news, &window, sizeof(window), &read, nullptr) && read == sizeof(window);
    CloseHandle(news);
    if (told && window)
        SetDeviceWindowHandle(reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)));
    return told;
}

}  // namespace

int RunShell(HANDLE screenNews)
{
    if (!AwaitDeviceScreen(screenNews))
        return 1;
    const HINSTANCE instance = RegisterProgramClass(kShellClassName, ShellWndProc);
    Shell shell;
    // The whole screen, as on the device; child rows clip to it. In a device
    // window it is that window's: above it, and moved with it.
    const RECT screen = DeviceScreenRect();
    HWND window =
        CreateWindowExW(0, kShellClassName, L"Today", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, screen.left, screen.top,
                        kDeviceScreenWidth, kDeviceScreenHeight, DeviceWindowHandle(), nullptr, instance, &shell);
    if (!window) {
        fwprintf(stderr, L"today: cannot open the Today screen's window (error %lu)\n", GetLastError());
        return 1;
    }
    UpdateWindow(window);
    if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, kShellReadyEventName)) {
        SetEvent(ready);
        CloseHandle(ready);
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
