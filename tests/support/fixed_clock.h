#pragma once

#ifdef _WIN32
#include <windows.h>
#include <stdio.h>

#include "device/device_environment.h"
#else
#include "native/win32_runtime.h"
#endif

// Fixes the clock that a shuffle reads, for as long as the object lives:
// on Wine the emulated device's clock, natively the runtime's own.
class FixedClock {
public:
    FixedClock(int year, int month, int day, int hour, int minute, int second)
    {
#ifdef _WIN32
        wchar_t text[32];
        swprintf(text, 32, L"%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute, second);
        SetEnvironmentVariableW(kDeviceClockVariable, text);
#else
        SYSTEMTIME time = {WORD(year), WORD(month), 0, WORD(day), WORD(hour), WORD(minute), WORD(second), 0};
        FixLocalTime(&time);
#endif
    }
    ~FixedClock()
    {
#ifdef _WIN32
        SetEnvironmentVariableW(kDeviceClockVariable, nullptr);
#else
        FixLocalTime(nullptr);
#endif
    }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};
