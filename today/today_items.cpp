#include "today_items.h"

#include <stdio.h>

#include <algorithm>

#include "device/today_items.h"

namespace {

DWORD ReadDword(HKEY key, const wchar_t* name, DWORD fallback)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return fallback;
    return value;
}

bool ReadDllPath(HKEY key, wchar_t* path, DWORD units)
{
    DWORD type = 0, size = (units - 1) * sizeof(wchar_t);
    ZeroMemory(path, units * sizeof(wchar_t));
    return RegQueryValueExW(key, L"DLL", nullptr, &type, reinterpret_cast<BYTE*>(path), &size) == ERROR_SUCCESS &&
           (type == REG_SZ || type == REG_EXPAND_SZ) && path[0];
}

void LeaveOut(const wchar_t* name, const wchar_t* why, const wchar_t* detail = L"", DWORD error = 0)
{
    if (error)
        fwprintf(stderr, L"today: item \"%ls\" left out: %ls%ls (error %lu)\n", name, why, detail, error);
    else
        fwprintf(stderr, L"today: item \"%ls\" left out: %ls%ls\n", name, why, detail);
}

// Fills the record from the item's key, as the device's Today screen does;
// false for an item that is not a shown custom item.
bool ReadItemKey(HKEY items, const wchar_t* name, TODAYLISTITEM* record)
{
    HKEY key;
    if (RegOpenKeyExW(items, name, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    *record = {};
    lstrcpynW(record->szName, name, MAX_ITEMNAME);
    record->tlit = static_cast<TODAYLISTITEMTYPE>(ReadDword(key, L"Type", tlitNil));
    record->dwOrder = ReadDword(key, L"Order", 0);
    record->fEnabled = ReadDword(key, L"Enabled", 0) != 0;
    record->fOptions = ReadDword(key, L"Options", 0) != 0;
    bool hasDll = ReadDllPath(key, record->szDLLPath, MAX_PATH);
    RegCloseKey(key);
    if (record->tlit != tlitCustom || !record->fEnabled)
        return false;  // the device's own items, and hidden ones
    if (!hasDll) {
        LeaveOut(name, L"its key has no \"DLL\" value");
        return false;
    }
    return true;
}

bool StartItem(HWND shell, TodayItem* item)
{
    TODAYLISTITEM& record = item->record;
    wchar_t hostPath[MAX_PATH];
    DevicePathToHost(record.szDLLPath, hostPath, MAX_PATH);
    item->library = LoadLibraryW(hostPath);
    if (!item->library) {
        LeaveOut(record.szName, L"cannot load ", record.szDLLPath, GetLastError());
        return false;
    }
    auto initialize = reinterpret_cast<PFNCUSTOMINITIALIZEITEM>(
        reinterpret_cast<void*>(GetProcAddress(item->library, MAKEINTRESOURCEA(ORDINAL_INITIALIZEITEM))));
    if (!initialize) {
        LeaveOut(record.szName, record.szDLLPath, L" has no export 240");
        FreeLibrary(item->library);
        return false;
    }
    record.hinstDLL = item->library;
    record.hwndCustom = initialize(&record, shell);
    if (!record.hwndCustom) {
        LeaveOut(record.szName, L"InitializeCustomItem gave no window");
        FreeLibrary(item->library);
        return false;
    }
    return true;
}

}  // namespace

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

std::vector<TodayItem> LoadTodayItems(HWND shell)
{
    std::vector<TodayItem> items;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTodayItemsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return items;
    for (const std::wstring& name : ListTodayItemNames()) {
        TodayItem item = {};
        if (ReadItemKey(key, name.c_str(), &item.record))
            items.push_back(item);
    }
    RegCloseKey(key);

    std::stable_sort(items.begin(), items.end(), [](const TodayItem& a, const TodayItem& b) {
        return a.record.dwOrder < b.record.dwOrder;
    });
    std::vector<TodayItem> started;
    for (TodayItem& item : items) {
        if (StartItem(shell, &item))
            started.push_back(item);
    }
    return started;
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
