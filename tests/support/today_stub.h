#pragma once

#include <windows.h>

#include "device/device_screen.h"
#include "device/include/todaycmn.h"

// A window that plays the Today screen for an item: it answers the colour
// query with kTextColor, paints kWatermarkColor for a watermark request and
// counts both. One per test program, at screen (40, 60) so that no row
// starts at screen x 0.
namespace today_stub {

const COLORREF kTextColor = RGB(0, 0, 160);
const COLORREF kWatermarkColor = RGB(200, 230, 200);
const int kRowWidth = kDeviceScreenWidth;

HWND Window();
extern int colorQueries;
extern int watermarkRequests;

// Initialises the item as the Today screen does, with this program as its
// module and no stored settings, and places the row at the top of the
// stub's client area.
HWND InitializeItem(TODAYLISTITEM* record, BOOL enabled = TRUE);

void PumpMessages();

}  // namespace today_stub
