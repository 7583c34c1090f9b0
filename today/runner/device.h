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

// Runs a seeded stream of random events against the device and checks its
// rules after each; stops at the first broken rule, with screenshots and a
// script that replays the events so far. yes lets the gremlins answer
// "Yes" to a question.
int RunDeviceGremlins(unsigned seed, long events, bool yes);
