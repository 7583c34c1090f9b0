#pragma once

#include <string>
#include <vector>

#include "script.h"

// The emulated device: it runs the Today screen as its own process and
// restarts it at every soft reset, as a Pocket PC boots again; a reset ends
// every program the device started.

// Runs until the Today screen is closed.
int RunDevice();

// Runs the steps, then closes the Today screen. Fails at the first step that
// cannot be carried out.
int RunDeviceScript(const std::vector<ScriptStep>& steps);
