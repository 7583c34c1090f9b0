#pragma once

// Host stand-ins for the few Win32 and C runtime calls of the card engine,
// so that it and the game build with the host compiler (sanitizers,
// benchmarks, the odds) and deal exactly the cards the device deals.

typedef unsigned short WORD;

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

// The local time, or the time that FixLocalTime set.
void GetLocalTime(SYSTEMTIME* time);
// Fixes the clock for repeatable deals; null lets it run again.
void FixLocalTime(const SYSTEMTIME* time);

// The Microsoft C runtime's generator: srand and rand.
void SeedRandom(unsigned int seed);
int NextRandom();
