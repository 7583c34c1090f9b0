#pragma once

#include <windows.h>

// Runs the Today screen until it is closed: loads the items, shows their
// rows and serves them. readyEvent names the event set once the screen is
// up, or is null.
int RunShell(const wchar_t* readyEvent);

// The Today screen window's class, for the programs that look for it.
extern const wchar_t kShellClassName[];

// The event the Today screen sets once it is up, for the device that boots
// it to wait on.
extern const wchar_t kShellReadyEventName[];

// Asks the Today screen window to open its settings, as Start > Settings does.
const UINT WM_TODAY_OPENSETTINGS = WM_APP + 2;

// Asks the Today screen whether every row shows what its item paints for
// its state now: 0 when all do, otherwise the number of the first that
// does not (1 for the top row).
const UINT WM_TODAY_CHECKROWS = WM_APP + 3;

// Asks the Today screen how many more drawing objects it could make.
const UINT WM_TODAY_GDIHEADROOM = WM_APP + 4;
