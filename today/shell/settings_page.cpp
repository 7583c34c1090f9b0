#include "settings_page.h"

#include <string>
#include <vector>

#include "device/chrome/chrome.h"
#include "device/device_screen.h"
#include "device/include/aygshell.h"
#include "device/include/todaycmn.h"
#include "settings_process.h"
#include "today_items.h"

namespace {

// The shell window's property that names its open page.
const wchar_t kOpenPageProperty[] = L"TolvaneSettingsPage";
const int kScrollId = 100;
const int kFirstEnabledId = 1000;   // + item index
const int kFirstOptionsId = 30000;  // + item index
// In the page's own coordinates: it lies below the title bar, to the
// screen's foot.
const int kPageHeight = kDeviceScreenHeight - kTitleBarHeight;
const int kRowTop = 30;
const int kRowHeight = 24;
const int kShownRows = (kPageHeight - kRowTop) / kRowHeight;
const int kScrollWidth = 13;

// The page's controls depend on the items, so the template has none: they
// are made as the dialog starts. It names no font, as the controls take the
// device's own.
struct PageTemplate {
    DLGTEMPLATE dialog;
    WORD menu;
    WORD windowClass;
    wchar_t title[9];
};
alignas(4) const PageTemplate kPageTemplate = {
    {WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, 0}, 0, 0, L"Settings"};

struct ItemEntry {
    std::wstring name;
    bool enabled;
    bool hasOptions;
    bool noLibrary;        // the key names no library the Today screen can load
    std::wstring problem;  // why the Today screen does not show it, when it does not
    HWND box;
    HWND options;
};

// One open page, kept in its dialog's DWLP_USER.
struct Page {
    HWND shell = nullptr;
    HWND scroll = nullptr;
    std::vector<ItemEntry> items;
    int firstRow = 0;
    std::string keysAtOpen;  // what the items read, to tell whether anything changed
    bool changed = false;
};

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

// What the Today screen shell has of each item: a problem the key shows, or the
// reason its last load left the item out.
std::vector<ItemEntry> ReadItems(HWND shell)
{
    std::vector<ItemEntry> items;
    for (const std::wstring& name : ListTodayItemNames()) {
        TodayItemKey key;
        if (!ReadTodayItemKey(name, &key))
            continue;
        bool noLibrary = !key.problem.empty();
        const std::wstring problem = noLibrary ? key.problem : WhyTodayItemLeftOut(shell, name, &noLibrary);
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

Page& PageOf(HWND window)
{
    return *reinterpret_cast<Page*>(GetWindowLongPtrW(window, DWLP_USER));
}

HWND AddControl(HWND window, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                int height, int id)
{
    HWND control =
        CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

// The rows from firstRow on, in view; the others wait below the page's foot,
// out of sight but still shown, so that the dialog manager's Tab and arrows
// reach them (it passes over hidden controls).
void PlaceRows(Page& page)
{
    for (size_t i = 0; i < page.items.size(); ++i) {
        const int row = static_cast<int>(i) - page.firstRow;
        const int top = row >= 0 && row < kShownRows ? kRowTop + row * kRowHeight : kPageHeight;
        for (HWND control : {page.items[i].box, page.items[i].options}) {
            if (control)
                SetWindowPos(control, nullptr, control == page.items[i].box ? 8 : 160, top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    SetScrollPos(page.scroll, SB_CTL, page.firstRow, TRUE);
}

void ScrollTo(Page& page, int firstRow)
{
    const int last = static_cast<int>(page.items.size()) - kShownRows;
    firstRow = firstRow > last ? last : firstRow;
    page.firstRow = firstRow < 0 ? 0 : firstRow;
    PlaceRows(page);
}

// The row whose control took the focus comes into view.
void ShowRow(Page& page, int row)
{
    if (row < page.firstRow)
        ScrollTo(page, row);
    else if (row >= page.firstRow + kShownRows)
        ScrollTo(page, row - kShownRows + 1);
}

void AddRows(HWND window, Page& page)
{
    const bool scrolls = static_cast<int>(page.items.size()) > kShownRows;
    // One group, so that the arrows go through all of it, as Tab does.
    DWORD group = WS_GROUP;
    for (size_t i = 0; i < page.items.size(); ++i) {
        ItemEntry& item = page.items[i];
        const wchar_t* state = item.noLibrary ? L" (no library)" : item.problem.empty() ? L"" : L" (left out)";
        item.box =
            AddControl(window, L"BUTTON", (item.name + state).c_str(), BS_AUTOCHECKBOX | WS_TABSTOP | group,
                       8, 0, 148, 20, kFirstEnabledId + int(i));
        group = 0;
        // Not shown, and no choice of the page can show it.
        SendMessageW(item.box, BM_SETCHECK, item.enabled && !item.noLibrary ? BST_CHECKED : BST_UNCHECKED, 0);
        EnableWindow(item.box, !item.noLibrary);
        if (item.hasOptions)
            item.options = AddControl(window, L"BUTTON", L"Options...", BS_PUSHBUTTON | WS_TABSTOP, 160, 0,
                                      scrolls ? 62 : 72, 20, kFirstOptionsId + int(i));
    }
    if (scrolls) {
        page.scroll = AddControl(window, L"SCROLLBAR", L"", SBS_VERT | WS_GROUP, kDeviceScreenWidth - kScrollWidth,
                                 kRowTop, kScrollWidth, kPageHeight - kRowTop, kScrollId);
        SetScrollRange(page.scroll, SB_CTL, 0, static_cast<int>(page.items.size()) - kShownRows, FALSE);
    }
    PlaceRows(page);
}

// The page is the dialog's from here to WM_NCDESTROY.
INT_PTR OnInitDialog(HWND window, HWND shell)
{
    Page* page = new Page;
    page->shell = shell;
    page->keysAtOpen = ReadItemKeys();
    page->items = ReadItems(shell);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
    SetPropW(shell, kOpenPageProperty, window);
    // Full screen below the device's title bar, whose ok is the page's.
    SHINITDLGINFO init = {SHIDIM_FLAGS, window, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&init);
    AddRows(window, *page);
    // The pad moves the focus, so it is always drawn, as on the device.
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return TRUE;  // the focus to the first control
}

INT_PTR OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    DrawChromeText(dc, L"Items shown on the Today screen:", {8, 0, kDeviceScreenWidth, kRowTop - 4}, RGB(0, 0, 0), 11,
                   FW_BOLD, DT_LEFT);
    EndPaint(window, &ps);
    return TRUE;
}

// ok stores the page's choices; cancel leaves everything as it was.
void Close(HWND window, Page& page, bool store)
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
    DestroyWindow(window);
}

INT_PTR OnVScroll(Page& page, WORD request, WORD position)
{
    switch (request) {
    case SB_LINEUP:
        ScrollTo(page, page.firstRow - 1);
        break;
    case SB_LINEDOWN:
        ScrollTo(page, page.firstRow + 1);
        break;
    case SB_PAGEUP:
        ScrollTo(page, page.firstRow - kShownRows);
        break;
    case SB_PAGEDOWN:
        ScrollTo(page, page.firstRow + kShownRows);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        ScrollTo(page, position);
        break;
    default:
        break;
    }
    return TRUE;
}

// IDOK comes from the title bar's ok and Enter, IDCANCEL from Escape and a
// close of the page.
INT_PTR OnCommand(HWND window, Page& page, WORD id, WORD notification)
{
    const int items = static_cast<int>(page.items.size());
    const bool options = id >= kFirstOptionsId && id < kFirstOptionsId + items;
    if (id == IDOK || id == IDCANCEL)
        Close(window, page, id == IDOK);
    else if (options && notification == BN_CLICKED)
        StartItemOptions(window, page.shell, page.items[id - kFirstOptionsId].name);
    return TRUE;
}

INT_PTR OnDestroy(HWND window)
{
    const Page& page = PageOf(window);
    RemovePropW(page.shell, kOpenPageProperty);
    PostMessageW(page.shell, WM_TODAY_SETTINGSCLOSED, page.changed, 0);
    return TRUE;
}

INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog(window, reinterpret_cast<HWND>(lParam));
    if (!GetWindowLongPtrW(window, DWLP_USER))
        return FALSE;  // before WM_INITDIALOG, or after WM_NCDESTROY
    switch (message) {
    case WM_PAINT:
        return OnPaint(window);
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
        return OnCommand(window, PageOf(window), LOWORD(wParam), HIWORD(wParam));
    case WM_VSCROLL:
        return OnVScroll(PageOf(window), LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        return OnDestroy(window);
    case WM_NCDESTROY:
        delete &PageOf(window);
        SetWindowLongPtrW(window, DWLP_USER, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

// Brings the row of the control with the focus into view. The page asks
// after each key rather than have its buttons say so (BS_NOTIFY): with that
// style a button takes a quick second tap as a double-click, not a press.
void ShowFocusedRow(HWND window, Page& page)
{
    HWND focus = GetFocus();
    if (!focus || !IsChild(window, focus))
        return;
    const int id = GetDlgCtrlID(focus);
    const int items = static_cast<int>(page.items.size());
    if (id >= kFirstEnabledId && id < kFirstEnabledId + items)
        ShowRow(page, id - kFirstEnabledId);
    else if (id >= kFirstOptionsId && id < kFirstOptionsId + items)
        ShowRow(page, id - kFirstOptionsId);
}

}  // namespace

HWND OpenSettingsPage(HWND shell)
{
    if (HWND open = static_cast<HWND>(GetPropW(shell, kOpenPageProperty)))
        return open;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &kPageTemplate.dialog, shell, PageProc,
                                      reinterpret_cast<LPARAM>(shell));
}

bool IsSettingsPageMessage(HWND shell, MSG* message)
{
    HWND page = static_cast<HWND>(GetPropW(shell, kOpenPageProperty));
    if (!page || !IsDialogMessageW(page, message))
        return false;
    if (IsWindow(page) && GetWindowLongPtrW(page, DWLP_USER))  // not closed by the key
        ShowFocusedRow(page, PageOf(page));
    return true;
}
