#include "settings_page.h"

#include <string>
#include <vector>

#include "device/chrome/chrome.h"
#include "device/device_screen.h"
#include "device/include/todaycmn.h"
#include "settings_process.h"
#include "shell_paint.h"
#include "today/shared/window_class.h"
#include "today_items.h"

namespace {

const wchar_t kPageClass[] = L"TolvaneTodaySettings";
const int kOkId = 1;
const int kScrollId = 2;
const int kFirstEnabledId = 1000;   // + item index
const int kFirstOptionsId = 30000;  // + item index
const int kRowTop = kTitleBarHeight + 30;
const int kRowHeight = 24;
const int kShownRows = (kDeviceScreenHeight - kRowTop) / kRowHeight;
const int kScrollWidth = 13;

struct ItemEntry {
    std::wstring name;
    bool enabled;
    bool hasOptions;
    bool noLibrary;        // the key names no library the Today screen can load
    std::wstring problem;  // why the Today screen does not show it, when it does not
    HWND box;
    HWND options;
};

// The one settings page of the shell.
struct Page {
    HWND window = nullptr;
    HWND shell = nullptr;
    HWND scroll = nullptr;
    std::vector<ItemEntry> items;
    int firstRow = 0;
    std::string keysAtOpen;  // what the items read, to tell whether anything changed
    bool changed = false;
};
Page page;
WNDPROC buttonProcedure = nullptr;

// Every value of every item's key, in one string.
std::string ReadItemKeys()
{
    std::string all;
    for (const std::wstring& name : ListTodayItemNames()) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TodayItemKeyPath(name).c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS)
            continue;
        all.append(reinterpret_cast<const char*>(name.c_str()), (name.size() + 1) * sizeof(wchar_t));
        for (DWORD index = 0;; ++index) {
            wchar_t value[256];
            DWORD units = ARRAYSIZE(value), type = 0, size = 0;
            if (RegEnumValueW(key, index, value, &units, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                break;
            std::string data(size, '\0');
            units = ARRAYSIZE(value);
            RegEnumValueW(key, index, value, &units, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
            all.append(reinterpret_cast<const char*>(value), (units + 1) * sizeof(wchar_t));
            all.append(reinterpret_cast<const char*>(&type), sizeof(type)).append(data);
        }
        RegCloseKey(key);
    }
    return all;
}

// What the Today screen has of each item: a problem the key shows, or the
// reason its last load left the item out.
std::vector<ItemEntry> ReadItems()
{
    std::vector<ItemEntry> items;
    for (const std::wstring& name : ListTodayItemNames()) {
        TodayItemKey key;
        if (!ReadTodayItemKey(name, &key))
            continue;
        bool noLibrary = !key.problem.empty();
        const std::wstring problem = noLibrary ? key.problem : WhyTodayItemLeftOut(name, &noLibrary);
        items.push_back(
            {name, key.record.fEnabled != FALSE, key.record.fOptions != FALSE, noLibrary, problem, nullptr, nullptr});
    }
    return items;
}

void StoreEnabled(const ItemEntry& item, bool enabled)
{
    const DWORD value = enabled ? 1 : 0;
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, TodayItemKeyPath(item.name).c_str(), L"Enabled", REG_DWORD, &value,
                    sizeof(value));
}

// The page's keys reach it from whichever of its buttons has the focus.
LRESULT CALLBACK PageButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && (wParam == VK_ESCAPE || wParam == VK_RETURN || wParam == VK_UP || wParam == VK_DOWN))
        return SendMessageW(page.window, message, wParam, lParam);
    return CallWindowProcW(buttonProcedure, button, message, wParam, lParam);
}

HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width, int height, int id)
{
    HWND control =
        CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, page.window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

HWND AddButton(const wchar_t* text, DWORD style, int x, int y, int width, int id)
{
    HWND button = AddControl(L"BUTTON", text, style, x, y, width, 20, id);
    buttonProcedure =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PageButtonProc)));
    return button;
}

// Places the rows from firstRow on; the rows above it and below the screen
// are hidden.
void PlaceRows()
{
    for (size_t i = 0; i < page.items.size(); ++i) {
        const int row = static_cast<int>(i) - page.firstRow;
        const UINT show = row >= 0 && row < kShownRows ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        const int top = kRowTop + row * kRowHeight;
        SetWindowPos(page.items[i].box, nullptr, 8, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | show);
        if (page.items[i].options)
            SetWindowPos(page.items[i].options, nullptr, 160, top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | show);
    }
    SetScrollPos(page.scroll, SB_CTL, page.firstRow, TRUE);
}

void ScrollTo(int firstRow)
{
    const int last = static_cast<int>(page.items.size()) - kShownRows;
    firstRow = firstRow > last ? last : firstRow;
    page.firstRow = firstRow < 0 ? 0 : firstRow;
    PlaceRows();
}

LRESULT OnCreate(HWND window)
{
    page.window = window;
    page.changed = false;
    page.firstRow = 0;
    page.keysAtOpen = ReadItemKeys();
    page.items = ReadItems();
    AddButton(L"ok", BS_PUSHBUTTON, kDeviceScreenWidth - 36, 3, 32, kOkId);
    const bool scrolls = static_cast<int>(page.items.size()) > kShownRows;
    for (size_t i = 0; i < page.items.size(); ++i) {
        ItemEntry& item = page.items[i];
        const wchar_t* state = item.noLibrary ? L" (no library)" : item.problem.empty() ? L"" : L" (left out)";
        item.box = AddButton((item.name + state).c_str(), BS_AUTOCHECKBOX, 8, 0, 148, kFirstEnabledId + int(i));
        // Not shown, and no choice of the page can show it.
        SendMessageW(item.box, BM_SETCHECK, item.enabled && !item.noLibrary ? BST_CHECKED : BST_UNCHECKED, 0);
        EnableWindow(item.box, !item.noLibrary);
        if (item.hasOptions)
            item.options = AddButton(L"Options...", BS_PUSHBUTTON, 160, 0, scrolls ? 62 : 72, kFirstOptionsId + int(i));
    }
    if (scrolls) {
        page.scroll = AddControl(L"SCROLLBAR", L"", SBS_VERT, kDeviceScreenWidth - kScrollWidth, kRowTop, kScrollWidth,
                                 kDeviceScreenHeight - kRowTop, kScrollId);
        SetScrollRange(page.scroll, SB_CTL, 0, static_cast<int>(page.items.size()) - kShownRows, FALSE);
    }
    PlaceRows();
    // The pad moves the focus, so it is always drawn, as on the device.
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return 0;
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintTitleBar(dc, {0, 0, kDeviceScreenWidth, kTitleBarHeight}, L"Settings", nullptr);
    FillColor(dc, {0, kTitleBarHeight, kDeviceScreenWidth, kDeviceScreenHeight}, RGB(255, 255, 255));
    DrawChromeText(dc, L"Items shown on the Today screen:", {8, kTitleBarHeight, kDeviceScreenWidth, kRowTop - 4},
                   RGB(0, 0, 0), 11, FW_BOLD, DT_LEFT);
    EndPaint(window, &ps);
    return 0;
}

// ok stores the page's choices; cancel leaves everything as it was.
void Close(bool store)
{
    if (store) {
        for (const ItemEntry& item : page.items) {
            const bool checked = SendMessageW(item.box, BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (IsWindowEnabled(item.box) && checked != item.enabled)
                StoreEnabled(item, checked);
        }
    }
    // The options an item ran from here may have stored settings as well.
    page.changed = ReadItemKeys() != page.keysAtOpen;
    DestroyWindow(page.window);
}

// The navigation pad's up and down go from control to control, the rows
// scrolled to keep the one with the focus on the screen.
void MoveFocus(int step)
{
    std::vector<HWND> order;
    for (const ItemEntry& item : page.items) {
        for (HWND control : {item.box, item.options}) {
            if (control && IsWindowEnabled(control))
                order.push_back(control);
        }
    }
    if (order.empty())
        return;
    int at = -1;
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i] == GetFocus())
            at = static_cast<int>(i);
    }
    at = at < 0 ? (step > 0 ? 0 : static_cast<int>(order.size()) - 1) : at + step;
    if (at < 0 || at >= static_cast<int>(order.size()))
        return;
    const int id = GetDlgCtrlID(order[at]);
    const int row = id >= kFirstOptionsId ? id - kFirstOptionsId : id - kFirstEnabledId;
    if (row < page.firstRow)
        ScrollTo(row);
    else if (row >= page.firstRow + kShownRows)
        ScrollTo(row - kShownRows + 1);
    SetFocus(order[at]);
}

LRESULT OnKeyDown(WPARAM key)
{
    if (key == VK_ESCAPE || key == VK_RETURN)
        Close(key == VK_RETURN);
    else if (key == VK_UP || key == VK_DOWN)
        MoveFocus(key == VK_UP ? -1 : 1);
    return 0;
}

LRESULT OnVScroll(WORD request, WORD position)
{
    switch (request) {
    case SB_LINEUP:
        ScrollTo(page.firstRow - 1);
        break;
    case SB_LINEDOWN:
        ScrollTo(page.firstRow + 1);
        break;
    case SB_PAGEUP:
        ScrollTo(page.firstRow - kShownRows);
        break;
    case SB_PAGEDOWN:
        ScrollTo(page.firstRow + kShownRows);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        ScrollTo(position);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT OnCommand(WORD id)
{
    if (id == kOkId)
        Close(true);
    else if (id >= kFirstOptionsId && id < kFirstOptionsId + int(page.items.size()))
        StartItemOptions(page.window, page.items[id - kFirstOptionsId].name);
    return 0;
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_PAINT:
        return OnPaint(window);
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam));
    case WM_KEYDOWN:
        return OnKeyDown(wParam);
    case WM_VSCROLL:
        return OnVScroll(LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        page.window = nullptr;
        page.scroll = nullptr;
        PostMessageW(page.shell, WM_TODAY_SETTINGSCLOSED, page.changed, 0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void OpenSettingsPage(HWND shell)
{
    if (page.window)
        return;
    page.shell = shell;
    const HINSTANCE instance = RegisterProgramClass(kPageClass, PageProc);
    const RECT screen = DeviceScreenRect();
    CreateWindowExW(0, kPageClass, L"Settings", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, screen.left, screen.top,
                    kDeviceScreenWidth, kDeviceScreenHeight, shell, nullptr, instance, nullptr);
}
