#include "win32_runtime.h"

#include <time.h>

namespace {

bool clockFixed = false;
SYSTEMTIME fixedTime;

// The generator's whole state; 1 before any seed, as in msvcrt.
unsigned int randomState = 1;

}  // namespace

void GetLocalTime(SYSTEMTIME* time)
{
    if (clockFixed) {
        *time = fixedTime;
        return;
    }
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    tm local;
    localtime_r(&now.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

void FixLocalTime(const SYSTEMTIME* time)
{
    clockFixed = time != nullptr;
    if (time)
        fixedTime = *time;
}

void SeedRandom(unsigned int seed)
{
    randomState = seed;
}

int NextRandom()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}
