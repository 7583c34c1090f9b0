#pragma once

#include <vector>

#include "script.h"

class DeviceSupervisor;

// Carries out one step of a script on the device; false when it cannot.
bool RunStep(DeviceSupervisor& device, const ScriptStep& step);

// Runs the steps, then closes the Today screen. Fails at the first step that
// cannot be carried out.
int RunDeviceScript(const std::vector<ScriptStep>& steps);
