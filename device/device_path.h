#pragma once

#include <windows.h>

// A device path such as "\Windows\Tolvane.dll" on the emulated device's
// drive, which is the drive of the host's Windows folder.
inline void DevicePathToHost(const wchar_t* devicePath, wchar_t* hostPath, DWORD units)
{
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    windows[2] = 0;  // "C:"
    lstrcpynW(hostPath, windows, units);
    lstrcpynW(hostPath + 2, devicePath, units - 2);
}
