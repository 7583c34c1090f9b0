// today.exe: the Today screen of an emulated 240x320 Pocket PC.
//
//   today.exe [--clock YYYY-MM-DDTHH:MM:SS] [--script FILE]
//   today.exe [--clock YYYY-MM-DDTHH:MM:SS] --gremlins SEED [EVENTS] [--unlink]
//
// Without a script it runs until the Today screen is closed; with one it
// carries the script out and ends; with --gremlins it taps at random,
// EVENTS times (1000 by default), checking the device after each (--unlink
// lets it answer "Yes" to unlinking). --shell runs the Today screen itself, as
// the device starts it; --options ITEM runs an item's options dialog, as the
// Today screen's settings start it.
#include <windows.h>
#include <stdio.h>

#include "device/clock_text.h"
#include "device/device_environment.h"
#include "today/gremlins/gremlins_run.h"
#include "today/runner/script.h"
#include "today/runner/script_run.h"
#include "today/runner/supervisor.h"
#include "today/shell/settings_process.h"
#include "today/shell/shell_window.h"

namespace {

int Usage(const std::wstring& problem)
{
    fwprintf(stderr,
             L"today: %ls\nusage: today.exe [--clock YYYY-MM-DDTHH:MM:SS] [--script FILE | --gremlins SEED [EVENTS] "
             L"[--unlink]]\n",
             problem.c_str());
    return 2;
}

}  // namespace

int main()
{
    // Wine's C runtime buffers a standard error that is not a terminal to
    // the program's end; the device's messages go out as they happen.
    setvbuf(stderr, nullptr, _IONBF, 0);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const wchar_t* scriptPath = nullptr;
    const wchar_t* gremlinsSeed = nullptr;
    long gremlinsEvents = 1000;
    bool unlink = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--shell")
            return RunShell(kShellReadyEventName);
        if (option == L"--unlink") {
            unlink = true;
            continue;
        }
        if (option != L"--options" && option != L"--clock" && option != L"--script" && option != L"--gremlins")
            return Usage(L"unknown argument " + option);
        if (++i == argc)
            return Usage(option + L" needs a value");
        SYSTEMTIME unused;
        if (option == L"--options")
            return RunItemOptions(argv[i]);
        if (option == L"--script") {
            scriptPath = argv[i];
        } else if (option == L"--gremlins") {
            gremlinsSeed = argv[i];
            if (i + 1 < argc && iswdigit(argv[i + 1][0]))
                gremlinsEvents = wcstol(argv[++i], nullptr, 10);
        } else if (!ParseDeviceClock(argv[i], &unused)) {
            return Usage(L"--clock takes a date and time that exist, written as 2026-12-13T14:25:36");
        } else {
            SetEnvironmentVariableW(kDeviceClockVariable, argv[i]);  // for this program and all it starts
        }
    }
    if (gremlinsSeed)
        return RunDeviceGremlins(wcstoul(gremlinsSeed, nullptr, 10), gremlinsEvents, unlink);
    if (!scriptPath)
        return RunDevice();
    std::vector<ScriptStep> steps;
    std::wstring error;
    if (!ReadScript(scriptPath, &steps, &error)) {
        fwprintf(stderr, L"today: %ls\n", error.c_str());
        return 2;
    }
    return RunDeviceScript(steps);
}
