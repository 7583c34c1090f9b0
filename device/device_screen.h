#pragma once

#include <windows.h>
#include <wchar.h>

#include "device/device_environment.h"

// The device's screen in screen coordinates: everything the device places
// "on the screen" (the Today screen, full-screen dialogs, message boxes)
// goes inside this rectangle. It is the client area of the device window
// where the device has one, otherwise the whole desktop: the device's own
// 240x320 virtual desktop.
inline RECT DeviceScreenRect()
{
    wchar_t text[32];
    const DWORD length = GetEnvironmentVariableW(kDeviceWindowVariable, text, 32);
    HWND window = length > 0 && length < 32 ? reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoull(text, nullptr, 10)))
                                             : nullptr;
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window && IsWindow(window)) {
        GetClientRect(window, &screen);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    }
    return screen;
}
