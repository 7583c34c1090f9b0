#pragma once

#include <windows.h>

#include "device/include/todaycmn.h"

// Calls an item's export 240 so that the item cannot take the Today screen
// down with it: a fault inside the call ends the call, not the program, and
// a call that does not return soon is named on standard error.
// Answers false with the fault's code when the item faulted.
bool CallInitializeItem(PFNCUSTOMINITIALIZEITEM initialize, TODAYLISTITEM* record, HWND parent, HWND* window,
                        DWORD* fault);
