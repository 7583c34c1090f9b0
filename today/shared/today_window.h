#pragma once

#include <windows.h>

// What the device's programs know of the Today screen's window: how to find
// it, when it is up, and the private messages it answers.

// The Today screen window's class, for the programs that look for it.
constexpr wchar_t kShellClassName[] = L"TolvaneToday";

// The event the Today screen sets once it is up, for the device that boots
// it to wait on.
constexpr wchar_t kShellReadyEventName[] = L"TolvaneTodayReady";

// The settings page has closed: wParam is TRUE when it changed what the
// items read.
const UINT WM_TODAY_SETTINGSCLOSED = WM_APP + 1;

// Asks the Today screen window to open its settings, as Start > Settings does.
const UINT WM_TODAY_OPENSETTINGS = WM_APP + 2;

// Asks the Today screen whether every row shows what its item paints for
// its state now: 0 when all do, otherwise the number of the first that
// does not (1 for the top row).
const UINT WM_TODAY_CHECKROWS = WM_APP + 3;

// Asks the Today screen how many more drawing objects it could make.
const UINT WM_TODAY_GDIHEADROOM = WM_APP + 4;
