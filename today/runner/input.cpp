#include "input.h"

#include "device/device_screen.h"

namespace {

// A point of the device's screen; absolute positions run from 0 to 65535
// across the whole desktop.
INPUT StylusAt(int x, int y, DWORD action)
{
    const RECT screen = DeviceScreenRect();
    x += screen.left;
    y += screen.top;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // In 64 bits: a coordinate of 32768 or more times 65536 overflows an int.
    input.mi.dx = static_cast<LONG>((x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((y * 65536LL + height - 1) / height);
    input.mi.dwFlags = action | MOUSEEVENTF_ABSOLUTE;
    return input;
}

}  // namespace

void TapScreen(int x, int y)
{
    // Each event carries its position, so a press cannot land where the
    // pointer was before.
    INPUT tap[] = {StylusAt(x, y, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN),
                   StylusAt(x, y, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP)};
    SendInput(2, tap, sizeof(INPUT));
}

void PressKey(WORD virtualKey)
{
    INPUT press[2] = {};
    for (INPUT& input : press) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
    }
    press[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, press, sizeof(INPUT));
}
