#pragma once

#include <windows.h>
#include <stdio.h>

// A device clock setting, "YYYY-MM-DDTHH:MM:SS", into a complete SYSTEMTIME
// with its day of week; false for anything else, impossible dates included.
inline bool ParseDeviceClock(const wchar_t* text, SYSTEMTIME* time)
{
    unsigned year, month, day, hour, minute, second;
    wchar_t separator = 0;
    if (swscanf(text, L"%4u-%2u-%2u%lc%2u:%2u:%2u", &year, &month, &day, &separator, &hour, &minute, &second) != 7 ||
        separator != L'T')
        return false;
    SYSTEMTIME parsed = {};
    parsed.wYear = static_cast<WORD>(year);
    parsed.wMonth = static_cast<WORD>(month);
    parsed.wDay = static_cast<WORD>(day);
    parsed.wHour = static_cast<WORD>(hour);
    parsed.wMinute = static_cast<WORD>(minute);
    parsed.wSecond = static_cast<WORD>(second);
    // The round trip rejects impossible dates and fills in the day of week.
    FILETIME asFileTime;
    return SystemTimeToFileTime(&parsed, &asFileTime) && FileTimeToSystemTime(&asFileTime, time);
}
