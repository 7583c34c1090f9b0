#pragma once

#include <windows.h>
#include <stdio.h>

#include <string>

#include "device/calendar.h"

// A device clock setting, exactly "YYYY-MM-DDTHH:MM:SS", into a complete
// SYSTEMTIME with its day of week; false for anything else: other lengths,
// trailing text, and times or dates that do not exist.
inline bool ParseDeviceClock(const wchar_t* text, SYSTEMTIME* time)
{
    const wchar_t kPattern[] = L"dddd-dd-ddTdd:dd:dd";
    unsigned fields[6] = {}, field = 0;
    for (int i = 0; kPattern[i]; ++i) {
        if (kPattern[i] != L'd') {
            if (text[i] != kPattern[i])
                return false;
            ++field;
        } else if (text[i] < L'0' || text[i] > L'9') {
            return false;
        } else {
            fields[field] = fields[field] * 10 + (text[i] - L'0');
        }
    }
    if (text[ARRAYSIZE(kPattern) - 1] != 0)
        return false;
    const unsigned year = fields[0], month = fields[1], day = fields[2];
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || fields[3] > 23 || fields[4] > 59 ||
        fields[5] > 59)
        return false;  // Wine's SystemTimeToFileTime takes 29 February of any year, as 1 March
    SYSTEMTIME parsed = {};
    parsed.wYear = static_cast<WORD>(year);
    parsed.wMonth = static_cast<WORD>(month);
    parsed.wDay = static_cast<WORD>(day);
    parsed.wHour = static_cast<WORD>(fields[3]);
    parsed.wMinute = static_cast<WORD>(fields[4]);
    parsed.wSecond = static_cast<WORD>(fields[5]);
    // The round trip fills in the day of week (and rejects years before 1601).
    FILETIME asFileTime;
    return SystemTimeToFileTime(&parsed, &asFileTime) && FileTimeToSystemTime(&asFileTime, time);
}

// A time as the device clock setting that ParseDeviceClock reads back.
inline std::wstring FormatDeviceClock(const SYSTEMTIME& time)
{
    wchar_t text[32];
    swprintf(text, ARRAYSIZE(text), L"%04u-%02u-%02uT%02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond);
    return text;
}
