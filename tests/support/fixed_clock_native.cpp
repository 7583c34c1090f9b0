#include "fixed_clock.h"

#include "native/win32_runtime.h"

FixedClock::FixedClock(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    FixLocalTime(&time);
}

FixedClock::~FixedClock()
{
    FixLocalTime(nullptr);
}
