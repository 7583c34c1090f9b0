#pragma once

#include <windows.h>

// Where the desktop is not the device's 240x320 screen (Windows, or Wine
// without a virtual desktop), the device is a window of the host whose
// client area is that screen. Everything of the device lives inside it,
// above it, and moves with it.

// The device's screen: the desktop when it is the device's 240x320 virtual
// desktop, otherwise a device window of its own (closed with the device).
class DeviceWindow {
public:
    DeviceWindow();
    ~DeviceWindow();
    // False, the reason said, when there is no screen to show the device on.
    bool Ready() const { return ready; }

private:
    HWND window;
    bool ready;
};
