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

// An item that a load left out, and why.
struct LeftOutItem {
    std::wstring name, why;
    bool noLibrary;  // the library could not be used at all
};

// What a load made of the registry's items: those it started, in their
// "Order", and those it left out.
struct LoadedItems {
    std::vector<TodayItem> started;
    std::vector<LeftOutItem> leftOut;
};

// Loads every enabled custom item of the registry, in their "Order", and
// creates their windows in shell. An item that cannot be loaded is left out
// with a message on standard error.
LoadedItems LoadTodayItems(HWND shell);

// Loads the library that the item's "DLL" names; null, with why, when it
// cannot.
HMODULE LoadItemLibrary(const TODAYLISTITEM& record, std::wstring* why);

// Why leftOut holds the named item; empty when it does not. noLibrary,
// when given, tells whether it was for want of a library it could load.
std::wstring WhyLeftOut(const std::vector<LeftOutItem>& leftOut, const std::wstring& name, bool* noLibrary = nullptr);

// Lets the settings opened over shell read what shell's last load left
// out; leftOut stays shell's until shell gives another or null.
void ShareLeftOut(HWND shell, const std::vector<LeftOutItem>* leftOut);

// Why the last load of the Today screen shell left the item out, as
// WhyLeftOut tells it; empty when it did not, or shell shares no list.
std::wstring WhyTodayItemLeftOut(HWND shell, const std::wstring& name, bool* noLibrary = nullptr);

// Asks each item whether its height changed; true when any did.
bool QueryItemHeights(std::vector<TodayItem>& items);

// Tells each item that the Today screen is going away.
void ClearItemCaches(std::vector<TodayItem>& items);
