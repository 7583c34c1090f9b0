#pragma once

#include <windows.h>

#include "device/include/todaycmn.h"

// The item's face to the Today screen.

// The row's height on the Today screen.
const DWORD kItemHeight = 20;

extern "C" {
// Export 240: creates the item's row window, resets the game, loads the
// settings and deals the first hand. Null for a disabled item.
HWND WINAPI InitializeCustomItem(TODAYLISTITEM* item, HWND parent);
}

// Whether the shell is a themed Pocket PC shell (the platform "PocketPC",
// version 3 or later), whose colours and watermark the row then takes: 1 or
// 0. The library decides it once, at its attach to a process.
int DetectThemedShell();
