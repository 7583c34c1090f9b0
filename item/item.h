#pragma once

#include <windows.h>

#include "device/include/todaycmn.h"

// The item's face to the Today screen.

extern "C" {
// Export 240: creates the item's row window, resets the game, loads the
// settings and deals the first hand. Null for a disabled item.
HWND WINAPI InitializeCustomItem(TODAYLISTITEM* item, HWND parent);
}

LRESULT CALLBACK ItemWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A stylus tap at a point of the row, in client coordinates.
void HandleItemTap(WORD x, WORD y);

// The library entry point's work: whether the shell is a themed Pocket PC
// shell, whose colours and watermark the row then takes. Always TRUE.
BOOL DetectThemedShell(HINSTANCE instance, DWORD reason, void* reserved);

// The row's height on the Today screen.
const DWORD kItemHeight = 20;
// The command that opens the options dialog, as the icon does.
const WORD kOptionsCommand = 301;
