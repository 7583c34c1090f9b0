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

// The names of the Today screen's items, as its registry lists them.
std::vector<std::wstring> ListTodayItemNames();

// Loads every enabled custom item of the registry, in their "Order", and
// creates their windows in shell. An item that cannot be loaded is left out
// with a message on standard error.
std::vector<TodayItem> LoadTodayItems(HWND shell);

// Asks each item whether its height changed; true when any did.
bool QueryItemHeights(std::vector<TodayItem>& items);

// Tells each item that the Today screen is going away.
void ClearItemCaches(std::vector<TodayItem>& items);
