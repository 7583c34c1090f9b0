#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The programs of the device and their windows, as seen from outside them.

// The ids of the processes in the device's job.
std::vector<DWORD> DeviceProcessIds(HANDLE programs);

// Whether the window belongs to one of those processes.
bool IsDeviceWindow(HWND window, const std::vector<DWORD>& ids);

// The device's shown top-level windows, the frontmost first.
std::vector<HWND> DeviceWindows(const std::vector<DWORD>& ids);

// Whether the window is of the class.
bool IsOfClass(HWND window, const wchar_t* className);

// The window as a report names it: its title in quotes, then its class.
std::wstring Describe(HWND window);

// The window of the device that has the keyboard and that a window manager
// could close (a dialog, a message box, the settings page), or null when
// that is the Today screen itself.
HWND FrontDialog(const std::vector<DWORD>& ids);
