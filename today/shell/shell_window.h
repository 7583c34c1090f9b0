#pragma once

#include <windows.h>

#include "today/shared/today_window.h"

// Runs the Today screen as the device starts it: once the device says on
// screenNews that its screen is up, loads the items, shows their rows
// (setting the Today screen's ready event) and serves them until closed.
int RunShell(HANDLE screenNews);
