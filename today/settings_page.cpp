#include "settings_page.h"

#include <stdio.h>

#include <string>
#include <vector>

#include "device/chrome/chrome.h"
#include "device/device_screen.h"
#include "device/include/todaycmn.h"
#include "device/today_items.h"
#include "shell_paint.h"
#include "today_items.h"
#include "window_class.h"

namespace {

const wchar_t kPageClass[] = L"TolvaneTodaySettings";
const int kOkId = 1;
const int kFirstEnabledId = 100;  // + item index
const int kFirstOptionsId = 200;  // + item index
const int kRowTop = kTitleBarHeight + 30;
const int kRowHeight = 24;

struct ItemEntry {
    std::wstring name;
    bool enabled;
    bool hasOptions;
};

// The one settings page of the shell.
struct Page {
    HWND window = nullptr;
    HWND shell = nullptr;
    std::vector<ItemEntry> items;
};
Page page;

DWORD ReadItemDword(const std::wstring& name, const wchar_t* value)
{
    DWORD data = 0, size = sizeof(data);
    const std::wstring key = std::wstring(kTodayItemsKey) + L"\\" + name;
    RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &data, &size);
    return data;
}

std::vector<ItemEntry> ReadItems()
{
    std::vector<ItemEntry> items;
    for (const std::wstring& name : ListTodayItemNames())
        items.push_back({name, ReadItemDword(name, L"Enabled") != 0, ReadItemDword(name, L"Options") == 1});
    return items;
}

void SetEnabled(size_t index, bool enabled)
{
    const DWORD value = enabled ? 1 : 0;
    const std::wstring key = std::wstring(kTodayItemsKey) + L"\\" + page.items[index].name;
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Enabled", REG_DWORD, &value, sizeof(value));
}

// A separate process, as on the device, where the item was never started.
void StartItemOptions(size_t index)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --options \"" + page.items[index].name + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

HWND AddControl(const wchar_t* text, DWORD style, int x, int y, int width, int id)
{
    HWND control = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | style, x, y, width, 20, page.window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                   nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

LRESULT OnCreate(HWND window)
{
    page.window = window;
    page.items = ReadItems();
    AddControl(L"ok", BS_PUSHBUTTON, kScreenWidth - 36, 3, 32, kOkId);
    for (size_t i = 0; i < page.items.size(); ++i) {
        const int top = kRowTop + static_cast<int>(i) * kRowHeight;
        HWND box = AddControl(page.items[i].name.c_str(), BS_AUTOCHECKBOX, 8, top, 148, kFirstEnabledId + int(i));
        SendMessageW(box, BM_SETCHECK, page.items[i].enabled ? BST_CHECKED : BST_UNCHECKED, 0);
        if (page.items[i].hasOptions)
            AddControl(L"Options...", BS_PUSHBUTTON, 160, top, 72, kFirstOptionsId + int(i));
    }
    return 0;
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintTitleBar(dc, {0, 0, kScreenWidth, kTitleBarHeight}, L"Settings", nullptr);
    FillColor(dc, {0, kTitleBarHeight, kScreenWidth, kScreenHeight}, RGB(255, 255, 255));
    DrawChromeText(dc, L"Items shown on the Today screen:", {8, kTitleBarHeight, kScreenWidth, kRowTop - 4},
                   RGB(0, 0, 0), 11, FW_BOLD, DT_LEFT);
    EndPaint(window, &ps);
    return 0;
}

LRESULT OnCommand(HWND window, WORD id)
{
    if (id == kOkId) {
        DestroyWindow(window);
    } else if (id >= kFirstOptionsId && id < kFirstOptionsId + int(page.items.size())) {
        StartItemOptions(id - kFirstOptionsId);
    } else if (id >= kFirstEnabledId && id < kFirstEnabledId + int(page.items.size())) {
        const size_t index = id - kFirstEnabledId;
        SetEnabled(index, SendDlgItemMessageW(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
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
        return OnCommand(window, LOWORD(wParam));
    case WM_DESTROY:
        page.window = nullptr;
        PostMessageW(page.shell, WM_TODAY_SETTINGSCLOSED, 0, 0);
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
                    kScreenWidth, kScreenHeight, shell, nullptr, instance, nullptr);
}

int RunItemOptions(const wchar_t* itemName)
{
    const std::wstring keyPath = std::wstring(kTodayItemsKey) + L"\\" + itemName;
    wchar_t devicePath[MAX_PATH] = {};
    DWORD size = sizeof(devicePath);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, keyPath.c_str(), L"DLL", RRF_RT_REG_SZ, nullptr, devicePath, &size) !=
        ERROR_SUCCESS) {
        fwprintf(stderr, L"today: item \"%ls\" has no \"DLL\" value\n", itemName);
        return 1;
    }
    wchar_t hostPath[MAX_PATH];
    DevicePathToHost(devicePath, hostPath, MAX_PATH);
    HMODULE library = LoadLibraryW(hostPath);
    auto procedure = library ? reinterpret_cast<DLGPROC>(reinterpret_cast<void*>(
                                   GetProcAddress(library, MAKEINTRESOURCEA(ORDINAL_OPTIONSDIALOGPROC))))
                             : nullptr;
    HRSRC found = library ? FindResourceW(library, MAKEINTRESOURCEW(500), RT_DIALOG) : nullptr;
    HGLOBAL loaded = found ? LoadResource(library, found) : nullptr;
    if (!procedure || !loaded) {
        fwprintf(stderr, L"today: %ls has no options dialog (export 241 and template 500)\n", devicePath);
        return 1;
    }
    // Over the device window, where there is one, and moved with it.
    DialogBoxIndirectParamW(library, static_cast<const DLGTEMPLATE*>(LockResource(loaded)), DeviceWindow(), procedure,
                            0);
    return 0;
}
