#pragma once

#ifdef _WIN32
#include "device/clock_text.h"
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
        const SYSTEMTIME time = {WORD(year), WORD(month), 0, WORD(day), WORD(hour), WORD(minute), WORD(second), 0};
#ifdef _WIN32
        SetEnvironmentVariableW(kDeviceClockVariable, FormatDeviceClock(time).c_str());
#else
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
