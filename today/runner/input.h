#pragma once

#include <windows.h>

// The device's screen and pad as a person touches them.

// A stylus tap at a screen point, delivered as the system delivers a click
// to whatever window lies under it; programs is the job of the device's
// programs.
void TapScreen(HANDLE programs, int x, int y);

// A press of one of the device's navigation pad buttons, as a virtual key.
void PressKey(WORD virtualKey);
