#pragma once

// Fixes the clock that a shuffle reads, for as long as the object lives.
class FixedClock {
public:
    FixedClock(int year, int month, int day, int hour, int minute, int second);
    ~FixedClock();

    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};
