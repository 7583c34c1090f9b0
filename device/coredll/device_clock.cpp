#include <windows.h>

#include "device/clock_text.h"
#include "device/device_environment.h"

namespace {

bool ReadFixedClock(SYSTEMTIME* time)
{
    wchar_t text[64];
    DWORD length = GetEnvironmentVariableW(kDeviceClockVariable, text, ARRAYSIZE(text));
    return length > 0 && length < ARRAYSIZE(text) && ParseDeviceClock(text, time);
}

}  // namespace

extern "C" void WINAPI DeviceGetLocalTime(SYSTEMTIME* time)
{
    if (!ReadFixedClock(time))
        GetLocalTime(time);
}
