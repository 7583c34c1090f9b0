#pragma once

// The Gregorian calendar's months, as the device clock's setting is checked
// and as the odds tool moves a clock on.
inline bool IsLeapYear(unsigned year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// The days of a month, 1 to 12, of the year.
inline unsigned DaysInMonth(unsigned year, unsigned month)
{
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}
