#pragma once

#include <windows.h>

// Where the Today screen lists its items under HKEY_LOCAL_MACHINE: one key
// per item, named for it, with "DLL", "Type", "Enabled", "Options" and
// "Order".
const wchar_t kTodayItemsKey[] = L"Software\\Microsoft\\Today\\Items";
const DWORD kCustomItemType = 4;
