#include "progress_report.h"

#include <stdio.h>

#include "odds/ratio_text.h"

namespace odds {

namespace {

const std::chrono::seconds kInterval(5);

}  // namespace

ProgressReport::ProgressReport(const char* unit, int64_t total)
    : unit(unit), total(total), start(std::chrono::steady_clock::now()), last(start)
{
}

void ProgressReport::Update(int64_t done)
{
    const auto now = std::chrono::steady_clock::now();
    if (done <= 0 || now - last < kInterval)
        return;
    last = now;
    const double seconds = std::chrono::duration<double>(now - start).count();
    const long long left = static_cast<long long>(seconds * (total - done) / done);
    fprintf(stderr, "tolvane-odds: %s of %s %s, about %lld min %02lld s left\n", GroupedText(done).c_str(),
            GroupedText(total).c_str(), unit, left / 60, left % 60);
    fflush(stderr);
}

}  // namespace odds
