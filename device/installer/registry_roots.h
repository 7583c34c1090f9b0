#pragma once

#include <windows.h>

#include <string>

// The registry's roots as a setup file numbers them (1 to 4) and as the
// installer's record names them.
struct RegistryRoot {
    HKEY key;
    const wchar_t* name;
};
const RegistryRoot kRegistryRoots[] = {
    {HKEY_CLASSES_ROOT, L"HKCR"}, {HKEY_CURRENT_USER, L"HKCU"}, {HKEY_LOCAL_MACHINE, L"HKLM"}, {HKEY_USERS, L"HKU"}};

// The root of a recorded key such as "HKLM\Software\...", and the rest in
// `path`; null for a record that names no root.
inline HKEY SplitRootedKey(const std::wstring& rooted, std::wstring* path)
{
    const size_t slash = rooted.find(L'\\');
    for (const RegistryRoot& root : kRegistryRoots) {
        if (rooted.compare(0, slash, root.name) == 0) {
            *path = slash == std::wstring::npos ? L"" : rooted.substr(slash + 1);
            return root.key;
        }
    }
    return nullptr;
}
