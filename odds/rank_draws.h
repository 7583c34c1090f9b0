#pragma once

#include <stdint.h>

namespace odds {

const int kRanks = 13;

namespace detail {

template <class Visit>
void ExtendRankDraw(const int* available, int rank, int left, int* ranks, int drawn, int64_t ways, Visit& visit)
{
    if (left == 0) {
        visit(static_cast<const int*>(ranks), drawn, ways);
        return;
    }
    if (rank == kRanks)
        return;
    // C(available, times) for times 0, 1, 2, ... as it grows.
    int64_t choices = 1;
    for (int times = 0; times <= left && times <= available[rank]; ++times) {
        if (times > 0) {
            choices = choices * (available[rank] - times + 1) / times;
            ranks[drawn + times - 1] = rank;
        }
        ExtendRankDraw(available, rank + 1, left - times, ranks, drawn + times, ways * choices, visit);
    }
}

}  // namespace detail

// Calls visit(ranks, count, ways) for every multiset of count ranks (0 ace ..
// 12 king, ascending) that cards with available[r] cards of rank r can make,
// where ways is how many sets of those cards show exactly these ranks.
template <class Visit>
void ForEachRankDraw(const int* available, int count, Visit visit)
{
    int ranks[kRanks * 4];
    detail::ExtendRankDraw(available, 0, count, ranks, 0, 1, visit);
}

}  // namespace odds
