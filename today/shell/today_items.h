#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "device/include/todaycmn.h"

// A custom item the Today screen has loaded: its record, its library (kept
// until the shell ends, as on the device) and its row window.
struct TodayItem {
    TODAYLISTITEM record;
    HMODULE library;
};

// One item's key, read as the Today screen reads it; its settings page
// reads it the same way. problem says why its library cannot be used
// (empty when nothing is known against it).
struct TodayItemKey {
    TODAYLISTITEM record;
    std::wstring problem;
};

// The key of the named item under HKEY_LOCAL_MACHINE.
std::wstring TodayItemKeyPath(const std::wstring& name);

// The names of the Today screen's items, as its registry lists them.
std::vector<std::wstring> ListTodayItemNames();

// False when the item has no key.
bool ReadTodayItemKey(const std::wstring& name, TodayItemKey* key);

// Loads every enabled custom item of the registry, in their "Order", and
// creates their windows in shell. An item that cannot be loaded is left out
// with a message on standard error.
std::vector<TodayItem> LoadTodayItems(HWND shell);

// Loads the library that the item's "DLL" names; null, with why, when it
// cannot.
HMODULE LoadItemLibrary(const TODAYLISTITEM& record, std::wstring* why);

// Why the last LoadTodayItems of this program left the item out; empty
// when it did not. noLibrary, when given, tells whether it was for want of
// a library it could load.
std::wstring WhyTodayItemLeftOut(const std::wstring& name, bool* noLibrary = nullptr);

// Asks each item whether its height changed; true when any did.
bool QueryItemHeights(std::vector<TodayItem>& items);

// Tells each item that the Today screen is going away.
void ClearItemCaches(std::vector<TodayItem>& items);
