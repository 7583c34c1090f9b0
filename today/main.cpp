// today.exe: the Today screen of an emulated 240x320 Pocket PC.
//
//   today.exe [--clock YYYY-MM-DDTHH:MM:SS] [--script FILE]
//   today.exe [--clock YYYY-MM-DDTHH:MM:SS] --gremlins SEED [EVENTS] [--unlink]
//
// Without a script it runs until the Today screen is closed; with one it
// carries the script out and ends; with --gremlins it taps at random, EVENTS
// times (1000 by default, at most 1000000), checking the device after each
// (--unlink lets it answer "Yes" to unlinking). --shell PIPE runs the Today
// screen itself, as the device starts it; --options ITEM runs an item's
// options dialog, as the Today screen's settings start it.
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

// The largest number of gremlins events a run takes: days of events.
const unsigned long kMaxGremlinsEvents = 1000000;

// A whole number written in decimal digits alone, within [low, high]:
// wcstoul would take "abc" as 0, "3.5" as 3 and "-1" as its largest value.
bool ParseWholeNumber(const wchar_t* text, unsigned long low, unsigned long high, unsigned long* value)
{
    unsigned long long number = 0;
    for (const wchar_t* digit = text; *digit; ++digit) {
        if (*digit < L'0' || *digit > L'9' || number > high)
            return false;
        number = number * 10 + (*digit - L'0');
    }
    if (!*text || number < low || number > high)
        return false;
    *value = static_cast<unsigned long>(number);
    return true;
}

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
    bool gremlins = false;
    unsigned long gremlinsSeed = 0, gremlinsEvents = 1000;
    bool unlink = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--unlink") {
            unlink = true;
            continue;
        }
        if (option != L"--shell" && option != L"--options" && option != L"--clock" && option != L"--script" &&
            option != L"--gremlins")
            return Usage(L"unknown argument " + option);
        if (++i == argc)
            return Usage(option + L" needs a value");
        SYSTEMTIME unused;
        if (option == L"--shell")
            return RunShell(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(wcstoull(argv[i], nullptr, 10))));
        if (option == L"--options")
            return RunItemOptions(argv[i]);
        if (option == L"--script") {
            scriptPath = argv[i];
        } else if (option == L"--gremlins") {
            gremlins = true;
            if (!ParseWholeNumber(argv[i], 0, 4294967295UL, &gremlinsSeed))
                return Usage(L"--gremlins takes a seed from 0 to 4294967295, not \"" + std::wstring(argv[i]) + L"\"");
            const bool events = i + 1 < argc && wcsncmp(argv[i + 1], L"--", 2) != 0;
            if (events && !ParseWholeNumber(argv[++i], 1, kMaxGremlinsEvents, &gremlinsEvents))
                return Usage(L"--gremlins runs from 1 to " + std::to_wstring(kMaxGremlinsEvents) + L" events, not \"" +
                             argv[i] + L"\"");
        } else if (!ParseDeviceClock(argv[i], &unused)) {
            return Usage(L"--clock takes a date and time that exist, written as 2026-12-13T14:25:36");
        } else {
            SetEnvironmentVariableW(kDeviceClockVariable, argv[i]);  // for this program and all it starts
        }
    }
    if (gremlins)
        return RunDeviceGremlins(gremlinsSeed, static_cast<long>(gremlinsEvents), unlink);
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
