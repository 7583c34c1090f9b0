// today.exe: the Today screen of an emulated 240x320 Pocket PC.
//
//   today.exe [--clock YYYY-MM-DDTHH:MM:SS] [--script FILE]
//
// Without a script it runs until the Today screen is closed; with one it
// carries the script out and ends. --shell runs the Today screen itself, as
// the device starts it.
#include <windows.h>
#include <stdio.h>

#include "device.h"
#include "device/device_environment.h"
#include "script.h"
#include "shell_window.h"

namespace {

int Usage(const wchar_t* problem)
{
    fwprintf(stderr, L"today: %ls\nusage: today.exe [--clock YYYY-MM-DDTHH:MM:SS] [--script FILE]\n", problem);
    return 2;
}

bool ValidClock(const wchar_t* text)
{
    unsigned year, month, day, hour, minute, second;
    wchar_t separator;
    if (swscanf(text, L"%4u-%2u-%2u%lc%2u:%2u:%2u", &year, &month, &day, &separator, &hour, &minute, &second) != 7)
        return false;
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    FILETIME unused;
    return separator == L'T' && SystemTimeToFileTime(&time, &unused);
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const wchar_t* scriptPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (lstrcmpW(argv[i], L"--shell") == 0)
            return RunShell(L"TolvaneTodayReady");
        if (lstrcmpW(argv[i], L"--clock") == 0 && i + 1 < argc) {
            if (!ValidClock(argv[++i]))
                return Usage(L"--clock takes a date and time such as 2026-12-13T14:25:36");
            // The device's clock, for this program and all it starts.
            SetEnvironmentVariableW(kDeviceClockVariable, argv[i]);
        } else if (lstrcmpW(argv[i], L"--script") == 0 && i + 1 < argc) {
            scriptPath = argv[++i];
        } else {
            return Usage((std::wstring(L"unknown argument ") + argv[i]).c_str());
        }
    }
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
