#include "today_items.h"

#include <stdio.h>

#include <algorithm>

#include "device/device_path.h"
#include "device/today_registry.h"
#include "item_call.h"

namespace {

// The window property under which a Today screen shares what it left out.
const wchar_t kLeftOutProperty[] = L"TolvaneItemsLeftOut";

DWORD ReadDword(HKEY key, const wchar_t* name, DWORD fallback)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return fallback;
    return value;
}

// Fills path from "DLL"; answers what is wrong with the value, or nothing.
std::wstring ReadDllPath(HKEY key, wchar_t* path, DWORD units)
{
    ZeroMemory(path, units * sizeof(wchar_t));
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, L"DLL", nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return L"its key has no \"DLL\" value, as after an unlink (./tools/run.sh install links Tolvane again)";
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return L"its \"DLL\" value is not text";
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    RegQueryValueExW(key, L"DLL", nullptr, nullptr, reinterpret_cast<BYTE*>(&value[0]), &size);
    value.resize(wcsnlen(value.c_str(), value.size()));
    if (value.empty())
        return L"its \"DLL\" value is empty";
    if (value.size() >= units)
        return L"its \"DLL\" value is " + std::to_wstring(value.size()) +
               L" characters long; a device path has at most " + std::to_wstring(units - 1);
    if (value[0] != L'\\')
        return L"its \"DLL\" value \"" + value + L"\" is not a device path such as \\Windows\\Tolvane.dll";
    lstrcpynW(path, value.c_str(), units);
    wchar_t hostPath[MAX_PATH];
    DevicePathToHost(path, hostPath, MAX_PATH);
    if (GetFileAttributesW(hostPath) == INVALID_FILE_ATTRIBUTES)
        return value + L" is not on the device";
    return L"";
}

void LeaveOut(std::vector<LeftOutItem>* leftOut, const wchar_t* name, const std::wstring& why, bool noLibrary)
{
    leftOut->push_back({name, why, noLibrary});
    fwprintf(stderr, L"today: item \"%ls\" left out: %ls\n", name, why.c_str());
}

// The item's code must not run again: its windows are given the default
// procedure before they go.
void DestroyWindowsOf(HWND shell, HMODULE library)
{
    EnumChildWindows(
        shell,
        [](HWND window, LPARAM owner) -> BOOL {
            if (GetWindowLongPtrW(window, GWLP_HINSTANCE) == owner) {
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
                DestroyWindow(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(library));
}

bool StartItem(HWND shell, TodayItem* item, std::vector<LeftOutItem>* leftOut)
{
    TODAYLISTITEM& record = item->record;
    std::wstring why;
    item->library = LoadItemLibrary(record, &why);
    if (!item->library) {
        LeaveOut(leftOut, record.szName, why, true);
        return false;
    }
    auto initialize = reinterpret_cast<PFNCUSTOMINITIALIZEITEM>(
        reinterpret_cast<void*>(GetProcAddress(item->library, MAKEINTRESOURCEA(ORDINAL_INITIALIZEITEM))));
    if (!initialize) {
        LeaveOut(leftOut, record.szName, std::wstring(record.szDLLPath) + L" has no export 240", false);
        FreeLibrary(item->library);
        return false;
    }
    record.hinstDLL = item->library;
    DWORD fault = 0;
    if (!CallInitializeItem(initialize, &record, shell, &record.hwndCustom, &fault)) {
        wchar_t code[16];
        swprintf(code, 16, L"0x%08lX", fault);
        LeaveOut(leftOut, record.szName, std::wstring(L"its export 240 faulted (exception ") + code + L")", false);
        DestroyWindowsOf(shell, item->library);
        return false;  // the library stays: what it started may still refer to it
    }
    if (!record.hwndCustom) {
        LeaveOut(leftOut, record.szName, L"InitializeCustomItem gave no window", false);
        FreeLibrary(item->library);
        return false;
    }
    return true;
}

}  // namespace

HMODULE LoadItemLibrary(const TODAYLISTITEM& record, std::wstring* why)
{
    wchar_t hostPath[MAX_PATH];
    DevicePathToHost(record.szDLLPath, hostPath, MAX_PATH);
    HMODULE library = LoadLibraryW(hostPath);
    const DWORD error = GetLastError();
    if (!library)
        *why = std::wstring(record.szDLLPath) +
               (error == ERROR_BAD_EXE_FORMAT ? L" is not a library" : L" cannot be loaded") + L" (error " +
               std::to_wstring(error) + L")";
    return library;
}

std::wstring TodayItemKeyPath(const std::wstring& name)
{
    return std::wstring(kTodayItemsKey) + L"\\" + name;
}

std::vector<std::wstring> ListTodayItemNames()
{
    std::vector<std::wstring> names;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTodayItemsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD units = ARRAYSIZE(name);
        if (RegEnumKeyExW(key, index, name, &units, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

bool ReadTodayItemKey(const std::wstring& name, TodayItemKey* item)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TodayItemKeyPath(name).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    TODAYLISTITEM& record = item->record;
    record = {};
    lstrcpynW(record.szName, name.c_str(), MAX_ITEMNAME);
    record.tlit = static_cast<TODAYLISTITEMTYPE>(ReadDword(key, L"Type", tlitNil));
    record.dwOrder = ReadDword(key, L"Order", 0);
    // Any value but a DWORD (text "1" too) leaves the item off, as the
    // device reads it.
    record.fEnabled = ReadDword(key, L"Enabled", 0) != 0;
    record.fOptions = ReadDword(key, L"Options", 0) != 0;
    item->problem = ReadDllPath(key, record.szDLLPath, MAX_PATH);
    RegCloseKey(key);
    return true;
}

LoadedItems LoadTodayItems(HWND shell)
{
    LoadedItems loaded;
    std::vector<TodayItem> items;
    for (const std::wstring& name : ListTodayItemNames()) {
        TodayItemKey key;
        if (!ReadTodayItemKey(name, &key) || key.record.tlit != tlitCustom || !key.record.fEnabled)
            continue;  // the device's own items, and hidden ones
        if (!key.problem.empty())
            LeaveOut(&loaded.leftOut, key.record.szName, key.problem, true);
        else
            items.push_back({key.record, nullptr});
    }

    std::stable_sort(items.begin(), items.end(),
                     [](const TodayItem& a, const TodayItem& b) { return a.record.dwOrder < b.record.dwOrder; });
    for (TodayItem& item : items) {
        if (StartItem(shell, &item, &loaded.leftOut))
            loaded.started.push_back(item);
    }
    return loaded;
}

std::wstring WhyLeftOut(const std::vector<LeftOutItem>& leftOut, const std::wstring& name, bool* noLibrary)
{
    for (const LeftOutItem& item : leftOut) {
        if (item.name == name.substr(0, MAX_ITEMNAME - 1)) {
            if (noLibrary)
                *noLibrary = item.noLibrary;
            return item.why;
        }
    }
    return L"";
}

void ShareLeftOut(HWND shell, const std::vector<LeftOutItem>* leftOut)
{
    if (leftOut)
        SetPropW(shell, kLeftOutProperty, const_cast<std::vector<LeftOutItem>*>(leftOut));
    else
        RemovePropW(shell, kLeftOutProperty);
}

std::wstring WhyTodayItemLeftOut(HWND shell, const std::wstring& name, bool* noLibrary)
{
    auto shared = static_cast<const std::vector<LeftOutItem>*>(GetPropW(shell, kLeftOutProperty));
    return shared ? WhyLeftOut(*shared, name, noLibrary) : L"";
}

bool QueryItemHeights(std::vector<TodayItem>& items)
{
    bool changed = false;
    for (TodayItem& item : items) {
        if (SendMessageW(item.record.hwndCustom, WM_TODAYCUSTOM_QUERYREFRESHCACHE,
                         reinterpret_cast<WPARAM>(&item.record), 0))
            changed = true;
    }
    return changed;
}

void ClearItemCaches(std::vector<TodayItem>& items)
{
    for (TodayItem& item : items)
        SendMessageW(item.record.hwndCustom, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(&item.record), 0);
}
