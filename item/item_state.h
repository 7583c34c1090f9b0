#pragma once

#include <windows.h>

#include "resources/resource.h"

// The library's icon ids lie from the first card face to the draw button.
const int kFirstIconId = IDI_CARD_FACE_BASE + 1;
const int kIconSlots = IDI_DRAW_BUTTON - kFirstIconId + 1;

// What the item keeps beside the game record to show it: one record per
// process, zero when the library is loaded but for themedShell.
struct ItemState {
    int heightPending;  // the row height is still to be reported
    HWND itemWindow;
    int themedShell;  // take the Today screen's colours and watermark
    HINSTANCE moduleInstance;
    HICON icons[kIconSlots];  // by id from kFirstIconId; loaded at first draw
};

extern ItemState itemState;
