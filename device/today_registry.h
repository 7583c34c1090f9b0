#pragma once

#include <windows.h>

// Where the Today screen lists its items under HKEY_LOCAL_MACHINE: one key
// per item, named for it, with "DLL", "Type", "Enabled", "Options" and
// "Order".
#define TODAY_ITEMS_KEY L"Software\\Microsoft\\Today\\Items"
const wchar_t kTodayItemsKey[] = TODAY_ITEMS_KEY;
const DWORD kCustomItemType = 4;

// Tolvane's own item key: what its cabinet installs (tools/make_cab.py,
// checked against this line by the cabinet's test) and where its options
// are stored.
const wchar_t kItemKeyPath[] = TODAY_ITEMS_KEY L"\\Tolvane";
