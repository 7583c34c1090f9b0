#pragma once

#include <windows.h>

// The device's screen from the outside: what a person sees and touches.

// Writes the whole screen, every window on it, to a PNG file.
bool SaveScreenshot(const wchar_t* path);

// A stylus tap at a screen point, delivered as the system delivers a click
// to whatever window lies under it.
void TapScreen(int x, int y);

// A press of one of the device's navigation pad buttons, as a virtual key.
void PressKey(WORD virtualKey);
