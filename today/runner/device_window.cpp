#include "device_window.h"

#include <stdio.h>
#include <windowsx.h>

#include <string>

#include "device/device_environment.h"
#include "device/device_screen.h"
#include "today/shared/today_window.h"
#include "today/shared/window_class.h"

namespace {

const wchar_t kDeviceWindowClass[] = L"TolvaneDeviceWindow";
const DWORD kDeviceWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct MoveOwned {
    HWND device;
    int dx, dy;
};

// Whether window is owned by the device window, directly or through other
// owned windows (a message box over a dialog over the Today screen).
bool OwnedByDevice(HWND window, HWND device)
{
    for (HWND owner = GetWindow(window, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER)) {
        if (owner == device)
            return true;
    }
    return false;
}

BOOL CALLBACK MoveIfOwned(HWND window, LPARAM lParam)
{
    const auto& move = *reinterpret_cast<const MoveOwned*>(lParam);
    if (!OwnedByDevice(window, move.device))
        return TRUE;
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, rect.left + move.dx, rect.top + move.dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

// Where the device's screen is, in screen coordinates, as the window keeps
// it (in its user data) to tell how far it moved.
POINT ScreenOrigin(HWND device)
{
    POINT origin = {0, 0};
    ClientToScreen(device, &origin);
    return origin;
}

LRESULT OnCreate(HWND device)
{
    const POINT origin = ScreenOrigin(device);
    SetWindowLongPtrW(device, GWLP_USERDATA, MAKELPARAM(origin.x, origin.y));
    return 0;
}

// The windows of the device are the device window's (owned) popups; they
// follow its screen wherever it goes.
LRESULT OnWindowPosChanged(HWND device)
{
    const LPARAM shown = GetWindowLongPtrW(device, GWLP_USERDATA);
    const POINT origin = ScreenOrigin(device);
    MoveOwned move = {device, origin.x - GET_X_LPARAM(shown), origin.y - GET_Y_LPARAM(shown)};
    if (move.dx || move.dy)
        EnumWindows(MoveIfOwned, reinterpret_cast<LPARAM>(&move));
    SetWindowLongPtrW(device, GWLP_USERDATA, MAKELPARAM(origin.x, origin.y));
    return 0;
}

// Closing the device window is Start > Close: the Today screen closes, and
// the device ends with it.
LRESULT OnClose()
{
    HWND today = FindWindowW(kShellClassName, nullptr);
    if (today)
        PostMessageW(today, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT OnPaint(HWND device)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(device, &ps);
    FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(device, &ps);
    return 0;
}

// The device window is a frame around its screen, with nothing of its own
// where the screen is: whatever raises it on the host's display (a click on
// its caption, a drag, the window system), it cannot cover the Today screen
// and the dialogs inside it, which are windows of other programs that Wine
// does not keep above it there.
void CutOutTheScreen(HWND device)
{
    RECT frame;
    GetWindowRect(device, &frame);
    POINT screen = {0, 0};
    ClientToScreen(device, &screen);
    const int left = screen.x - frame.left, top = screen.y - frame.top;
    HRGN shape = CreateRectRgn(0, 0, frame.right - frame.left, frame.bottom - frame.top);
    HRGN hole = CreateRectRgn(left, top, left + kDeviceScreenWidth, top + kDeviceScreenHeight);
    CombineRgn(shape, shape, hole, RGN_DIFF);
    DeleteObject(hole);
    SetWindowRgn(device, shape, FALSE);  // the window owns the region now
}

const wchar_t kHiddenWithDevice[] = L"TolvaneHiddenWithDevice";

struct Showing {
    HWND device;
    bool show;
};

// Wine hides the windows of other programs that the device window owns as
// it is minimised, but never shows them again: each is hidden here, marked,
// and shown again from its mark.
BOOL CALLBACK ShowWithDevice(HWND window, LPARAM lParam)
{
    const auto& showing = *reinterpret_cast<const Showing*>(lParam);
    if (!OwnedByDevice(window, showing.device))
        return TRUE;
    if (!showing.show && IsWindowVisible(window)) {
        SetPropW(window, kHiddenWithDevice, window);
        ShowWindowAsync(window, SW_HIDE);  // async: a busy program does not hold the device window
    } else if (showing.show && RemovePropW(window, kHiddenWithDevice)) {
        ShowWindowAsync(window, SW_SHOWNA);
    }
    return TRUE;
}

// Minimised, the device window is its caption alone, with no hole where the
// screen was and none of the screen's windows; restored, it has them again.
LRESULT OnMinimise(HWND device, WPARAM wParam, LPARAM lParam)
{
    Showing hiding = {device, false};
    EnumWindows(ShowWithDevice, reinterpret_cast<LPARAM>(&hiding));
    SetWindowRgn(device, nullptr, FALSE);
    return DefWindowProcW(device, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT OnRestored(HWND device)
{
    CutOutTheScreen(device);
    Showing showing = {device, true};
    EnumWindows(ShowWithDevice, reinterpret_cast<LPARAM>(&showing));
    return 0;
}

LRESULT CALLBACK DeviceWndProc(HWND device, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(device);
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(device);
        return DefWindowProcW(device, message, wParam, lParam);
    case WM_CLOSE:
        return OnClose();
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE)
            return OnMinimise(device, wParam, lParam);
        return DefWindowProcW(device, message, wParam, lParam);
    case WM_SIZE:
        if (wParam == SIZE_RESTORED && IsWindowVisible(device))
            OnRestored(device);
        return DefWindowProcW(device, message, wParam, lParam);
    case WM_PAINT:
        return OnPaint(device);
    default:
        return DefWindowProcW(device, message, wParam, lParam);
    }
}

// Opens the device window and makes it known to every program the device
// starts; null when it cannot be made.
HWND OpenDeviceWindow()
{
    const HINSTANCE instance = RegisterProgramClass(kDeviceWindowClass, DeviceWndProc);
    RECT frame = {0, 0, kDeviceScreenWidth, kDeviceScreenHeight};
    AdjustWindowRect(&frame, kDeviceWindowStyle, FALSE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // In the middle of the host's screen, where a person looks first.
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND device = CreateWindowExW(0, kDeviceWindowClass, L"Tolvane device", kDeviceWindowStyle | WS_VISIBLE,
                                  x > 0 ? x : 0, y > 0 ? y : 0, width, height, nullptr, nullptr, instance, nullptr);
    if (!device)
        return nullptr;
    CutOutTheScreen(device);
    UpdateWindow(device);
    SetDeviceWindowHandle(device);
    return device;
}

}  // namespace

DeviceWindow::DeviceWindow() : window(DesktopIsDeviceScreen() ? nullptr : OpenDeviceWindow())
{
    ready = DesktopIsDeviceScreen() || window;
    if (!ready)
        fwprintf(stderr, L"today: cannot open the device window (error %lu)\n", GetLastError());
}

DeviceWindow::~DeviceWindow()
{
    if (window)
        DestroyWindow(window);
}
