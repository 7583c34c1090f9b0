#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "options/settings.h"

// The item's registry key as a test sets it up and reads it back.
struct StoredValue {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
};

inline std::vector<BYTE> Dword(DWORD value)
{
    return {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
}

// A new key holding exactly these values.
inline void StoreItemKey(const std::vector<StoredValue>& values)
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
    HKEY key;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kItemKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    for (const StoredValue& v : values)
        RegSetValueExW(key, v.name, 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    RegCloseKey(key);
}

// A stored value's type, and its value when it has four bytes; type 0 when
// there is none.
inline std::pair<DWORD, DWORD> Stored(const wchar_t* name)
{
    DWORD type = 0, value = 0, size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kItemKeyPath, name, RRF_RT_ANY, &type, nullptr, &size) != ERROR_SUCCESS)
        return {0, 0};
    if (size == sizeof(value))
        RegGetValueW(HKEY_LOCAL_MACHINE, kItemKeyPath, name, RRF_RT_ANY, nullptr, &value, &size);
    return {type, value};
}
