#include "fixed_clock.h"

#include <windows.h>
#include <stdio.h>

#include "device/device_environment.h"

// The PE build reads the emulated device's clock.
FixedClock::FixedClock(int year, int month, int day, int hour, int minute, int second)
{
    wchar_t text[32];
    swprintf(text, 32, L"%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute, second);
    SetEnvironmentVariableW(kDeviceClockVariable, text);
}

FixedClock::~FixedClock()
{
    SetEnvironmentVariableW(kDeviceClockVariable, nullptr);
}
