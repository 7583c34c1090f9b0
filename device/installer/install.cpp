// The emulated device's installer for Tolvane, doing what a device's CAB
// installer does: the DLL goes to \Windows and the Today screen's item key
// names it.
//
//   install.exe install PATH\Tolvane.dll    copy the DLL and write the key
//   install.exe uninstall                   remove the key and the DLL
//   install.exe update PATH\Tolvane.dll     replace the DLL if it is installed
#include <windows.h>
#include <stdio.h>

#include "device/device_path.h"
#include "device/today_registry.h"

namespace {

const wchar_t kItemName[] = L"Tolvane";
const wchar_t kDevicePath[] = L"\\Windows\\Tolvane.dll";

int Fail(const wchar_t* what, DWORD error)
{
    fwprintf(stderr, L"install: %ls failed (error %lu)\n", what, error);
    return 1;
}

bool SetDword(HKEY key, const wchar_t* name, DWORD value)
{
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

int CopyLibrary(const wchar_t* source)
{
    wchar_t target[MAX_PATH];
    DevicePathToHost(kDevicePath, target, MAX_PATH);
    if (!CopyFileW(source, target, FALSE))
        return Fail(L"copying the DLL to \\Windows", GetLastError());
    return 0;
}

int Install(const wchar_t* source)
{
    if (int failed = CopyLibrary(source))
        return failed;
    wchar_t path[MAX_PATH];
    wsprintfW(path, L"%ls\\%ls", kTodayItemsKey, kItemName);
    HKEY key;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return Fail(L"creating the Today item key", result);
    bool written = RegSetValueExW(key, L"DLL", 0, REG_SZ, reinterpret_cast<const BYTE*>(kDevicePath),
                                  sizeof(kDevicePath)) == ERROR_SUCCESS &&
                   SetDword(key, L"Type", kCustomItemType) && SetDword(key, L"Enabled", 1) &&
                   SetDword(key, L"Options", 1) && SetDword(key, L"Order", 0);
    RegCloseKey(key);
    if (!written)
        return Fail(L"writing the Today item key", GetLastError());
    wprintf(L"Tolvane installed as %ls\n", kDevicePath);
    return 0;
}

int Uninstall()
{
    wchar_t path[MAX_PATH];
    wsprintfW(path, L"%ls\\%ls", kTodayItemsKey, kItemName);
    LONG result = RegDeleteTreeW(HKEY_LOCAL_MACHINE, path);
    if (result == ERROR_SUCCESS)
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
    wchar_t target[MAX_PATH];
    DevicePathToHost(kDevicePath, target, MAX_PATH);
    DeleteFileW(target);
    wprintf(L"Tolvane uninstalled\n");
    return 0;
}

// Keeps the device's copy current after a rebuild, but never installs.
int Update(const wchar_t* source)
{
    wchar_t target[MAX_PATH];
    DevicePathToHost(kDevicePath, target, MAX_PATH);
    if (GetFileAttributesW(target) == INVALID_FILE_ATTRIBUTES)
        return 0;
    return CopyLibrary(source);
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 3 && lstrcmpW(argv[1], L"install") == 0)
        return Install(argv[2]);
    if (argc == 3 && lstrcmpW(argv[1], L"update") == 0)
        return Update(argv[2]);
    if (argc == 2 && lstrcmpW(argv[1], L"uninstall") == 0)
        return Uninstall();
    fwprintf(stderr, L"usage: install.exe install|update PATH\\Tolvane.dll, or install.exe uninstall\n");
    return 2;
}
