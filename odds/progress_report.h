#pragma once

#include <stdint.h>

#include <chrono>

namespace odds {

// Tells standard error how far long work has come: a line every few
// seconds, with the time left at the pace so far; work that ends sooner
// says nothing.
class ProgressReport {
public:
    ProgressReport(const char* unit, int64_t total);
    void Update(int64_t done);

private:
    const char* unit;
    int64_t total;
    std::chrono::steady_clock::time_point start, last;
};

}  // namespace odds
