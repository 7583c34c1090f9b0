#pragma once

#include <windows.h>

// Where the desktop is not the device's 240x320 screen (Windows, or Wine
// without a virtual desktop), the device is a window of the host whose
// client area is that screen. Everything of the device lives inside it,
// above it, and moves with it.

// Opens the device window and makes it known to every program the device
// starts; null when it cannot be made.
HWND OpenDeviceWindow();
