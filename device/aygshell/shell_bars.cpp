#include "shell_bars.h"

#include "device/chrome/chrome.h"
#include "device/device_screen.h"

namespace {

const wchar_t kMenuBarClass[] = L"TolvaneMenuBar";
const int kOkId = 1;

LRESULT OnPaintDoneBar(HWND bar)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar, &ps);
    wchar_t title[128] = {};
    GetWindowTextW(GetWindow(bar, GW_OWNER), title, ARRAYSIZE(title));
    RECT client;
    GetClientRect(bar, &client);
    PaintTitleBar(dc, client, title, nullptr);
    EndPaint(bar, &ps);
    return 0;
}

// The window in front of the bar's dialog: the dialog, or a message box
// over it; null when there is none that takes input.
HWND InFront(HWND bar)
{
    HWND dialog = GetWindow(bar, GW_OWNER);
    HWND front = IsWindowEnabled(dialog) ? dialog : GetLastActivePopup(dialog);
    return front != bar && IsWindowEnabled(front) ? front : nullptr;
}

// The bar goes only with its dialog: a close of it (Alt+F4, a window
// manager's) is a close of the dialog in front, as a close of that window
// would be; with a message box over the dialog, of that box.
LRESULT OnCloseDoneBar(HWND bar)
{
    if (HWND front = InFront(bar))
        PostMessageW(front, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

// The keys are the dialog's: Wine activates the bar all the same when a
// window of another program closes over the dialog (an item's options from
// the settings page), and the focus goes on to the dialog in front.
LRESULT OnSetFocusDoneBar(HWND bar)
{
    if (HWND front = InFront(bar))
        SetActiveWindow(front);  // which gives the focus back where it was
    return 0;
}

LRESULT CALLBACK DoneBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        return OnPaintDoneBar(bar);
    case WM_SETFOCUS:
        return OnSetFocusDoneBar(bar);
    case WM_CLOSE:
        return OnCloseDoneBar(bar);
    case WM_COMMAND:
        // The bar is a window of its own, which a modal box over the dialog
        // does not disable: while the dialog is disabled its ok does nothing.
        if (LOWORD(wParam) == kOkId && IsWindowEnabled(GetWindow(bar, GW_OWNER)))
            SendMessageW(GetWindow(bar, GW_OWNER), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 0;
    default:
        return DefWindowProcW(bar, message, wParam, lParam);
    }
}

LRESULT CALLBACK MenuBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(bar, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar, &ps);
    RECT client;
    GetClientRect(bar, &client);
    PaintMenuBar(dc, client, nullptr);
    EndPaint(bar, &ps);
    return 0;
}

void RegisterBar(const wchar_t* name, WNDPROC procedure)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(L"aygshell.dll");
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassW(&wc);  // fails harmlessly once registered
}

}  // namespace

HWND CreateDoneBar(HWND dialog)
{
    RegisterBar(kDoneBarClassName, DoneBarProc);
    // The device's title bar, at the top of its screen.
    const RECT screen = DeviceScreenRect();
    const int width = screen.right - screen.left;
    // Shown without taking the activation: the keys stay with the dialog.
    HWND bar = CreateWindowExW(WS_EX_NOACTIVATE, kDoneBarClassName, L"", WS_POPUP, screen.left, screen.top, width,
                               kTitleBarHeight, dialog, nullptr, GetModuleHandleW(L"aygshell.dll"), nullptr);
    if (!bar)
        return nullptr;
    HWND ok = CreateWindowExW(0, L"BUTTON", L"ok", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, width - 36, 3, 32, 20, bar,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOkId)), GetModuleHandleW(L"aygshell.dll"),
                              nullptr);
    // The device's Tahoma, as the settings page's ok; a button left without
    // a font draws in the desktop's bitmap System font.
    SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ShowWindow(bar, SW_SHOWNOACTIVATE);
    return bar;
}

HWND CreateEmptyMenuBar(HWND dialog, bool visible)
{
    // Along the bottom of the dialog, which the shell has sized to the
    // screen: a child of the dialog, so that the dialog never covers it.
    RegisterBar(kMenuBarClass, MenuBarProc);
    RECT client;
    GetClientRect(dialog, &client);
    return CreateWindowExW(0, kMenuBarClass, L"", WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0), 0,
                           client.bottom - kMenuBarHeight, client.right, kMenuBarHeight, dialog, nullptr,
                           GetModuleHandleW(L"aygshell.dll"), nullptr);
}
