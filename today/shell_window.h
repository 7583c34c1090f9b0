#pragma once

#include <windows.h>

// Runs the Today screen until it is closed: loads the items, shows their
// rows and serves them. readyEvent names the event set once the screen is
// up, or is null.
int RunShell(const wchar_t* readyEvent);

// The Today screen window's class, for the programs that look for it.
extern const wchar_t kShellClassName[];

// Asks the Today screen window to open its settings, as Start > Settings does.
const UINT WM_TODAY_OPENSETTINGS = WM_APP + 2;
