#pragma once

#include <windows.h>

#include "device/include/todaycmn.h"

// A window that plays the Today screen for an item: it answers the colour
// query with kTextColor, paints kWatermarkColor for a watermark request and
// counts both. One per test program, at screen (40, 60) so that no row
// starts at screen x 0.
namespace today_stub {

const COLORREF kTextColor = RGB(0, 0, 160);
const COLORREF kWatermarkColor = RGB(200, 230, 200);
const int kRowWidth = 240;

HWND Window();
extern int colorQueries;
extern int watermarkRequests;

// Initialises the item as the Today screen does, with this program as its
// module and no stored settings, and places the row at the top of the
// stub's client area.
HWND InitializeItem(TODAYLISTITEM* record, BOOL enabled = TRUE);

void PumpMessages();

}  // namespace today_stub

// Closes the next dialog that opens on this thread, noting its owner and
// caption; as the dialog is modal, a timer finds it inside its own loop.
class DialogWatcher {
public:
    DialogWatcher();
    ~DialogWatcher();
    int opened = 0;
    HWND owner = nullptr;
    wchar_t caption[64] = {};

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    static DialogWatcher* active;
    UINT_PTR timer;
};
