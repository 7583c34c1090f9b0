#pragma once

#include <windows.h>

#include "today/shared/today_window.h"

// Runs the Today screen until it is closed: loads the items, shows their
// rows and serves them. readyEvent names the event set once the screen is
// up, or is null.
int RunShell(const wchar_t* readyEvent);
