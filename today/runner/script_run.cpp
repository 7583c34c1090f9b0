#include "script_run.h"

#include <stdio.h>

#include "device_programs.h"
#include "device_rules.h"
#include "input.h"
#include "screenshot.h"
#include "supervisor.h"
#include "today/shared/today_window.h"

bool RunStep(DeviceSupervisor& device, const ScriptStep& step)
{
    switch (step.kind) {
    case ScriptStep::kTap:
        TapScreen(device.Programs(), step.x, step.y);
        return device.WaitUntilQuiet(step.place);
    case ScriptStep::kKey:
        PressKey(step.virtualKey);
        return device.WaitUntilQuiet(step.place);
    case ScriptStep::kWait:
        return device.Run(step.milliseconds);
    case ScriptStep::kScreenshot:
        if (!device.WaitUntilQuiet(step.place))
            return false;
        if (!SaveScreenshot(step.path.c_str())) {
            fwprintf(stderr, L"today: %ls: cannot write the screenshot %ls: %ls\n", step.place.c_str(),
                     step.path.c_str(), WhyNotWritten(step.path).c_str());
            return false;
        }
        return true;
    case ScriptStep::kReset:
        return device.SoftReset() && device.WaitUntilQuiet(step.place);
    case ScriptStep::kSettings:
        PostMessageW(FindWindowW(kShellClassName, nullptr), WM_TODAY_OPENSETTINGS, 0, 0);
        return device.WaitUntilQuiet(step.place);
    case ScriptStep::kClose:
        // As a window manager closes a window: the front dialog, never the
        // Today screen.
        if (HWND front = FrontDialog(DeviceProcessIds(device.Programs())))
            PostMessageW(front, WM_SYSCOMMAND, SC_CLOSE, 0);
        return device.WaitUntilQuiet(step.place);
    case ScriptStep::kRules:
    case ScriptStep::kQuit:
        return true;
    }
    return false;
}

int RunDeviceScript(const std::vector<ScriptStep>& steps)
{
    DeviceSupervisor device;
    // A script begins on the Today screen as it first shows, all painted.
    if (!device.Boot() || (!steps.empty() && !device.WaitUntilQuiet(steps.front().place)))
        return 1;
    DeviceRules rules;
    bool checking = false;
    for (const ScriptStep& step : steps) {
        if (step.kind == ScriptStep::kQuit)
            break;
        checking = checking || step.kind == ScriptStep::kRules;
        const bool done = RunStep(device, step);
        const BrokenRule broken = checking ? rules.Check(device, done) : BrokenRule();
        if (broken.name) {
            fwprintf(stderr, L"today: %ls: the rule \"%ls\" is broken: %ls\n", step.place.c_str(), broken.name,
                     broken.detail.c_str());
            return 1;
        }
        if (!done) {
            fwprintf(stderr, L"today: %ls: the script stopped there\n", step.place.c_str());
            return 1;
        }
    }
    device.Close();
    return 0;
}
