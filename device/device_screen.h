#pragma once

#include <windows.h>
#include <wchar.h>

#include "device/device_environment.h"

// The device's screen is 240x320, as on a Pocket PC.
const int kDeviceScreenWidth = 240;
const int kDeviceScreenHeight = 320;

// The device window, where the device has no virtual desktop of its own and
// one of its programs opened it; null otherwise. Every program the device
// starts inherits it through its environment.
inline HWND DeviceWindowHandle()
{
    wchar_t text[32];
    const DWORD length = GetEnvironmentVariableW(kDeviceWindowVariable, text, 32);
    if (length == 0 || length >= 32)
        return nullptr;
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoull(text, nullptr, 10)));
    return IsWindow(window) ? window : nullptr;
}

// Makes the device window known to this program and every program it
// starts.
inline void SetDeviceWindowHandle(HWND window)
{
    wchar_t text[32];
    swprintf(text, 32, L"%llu", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    SetEnvironmentVariableW(kDeviceWindowVariable, text);
}

// The device's screen in screen coordinates: everything the device places
// "on the screen" (the Today screen, full-screen dialogs, message boxes,
// screenshots and taps) goes inside this rectangle. It is the client area of
// the device window where there is one, otherwise the whole desktop: the
// device's own 240x320 virtual desktop.
inline RECT DeviceScreenRect()
{
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (HWND window = DeviceWindowHandle()) {
        GetClientRect(window, &screen);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    }
    return screen;
}

// Whether the desktop is the device's screen: a 240x320 virtual desktop.
inline bool DesktopIsDeviceScreen()
{
    return GetSystemMetrics(SM_CXSCREEN) == kDeviceScreenWidth && GetSystemMetrics(SM_CYSCREEN) == kDeviceScreenHeight;
}
