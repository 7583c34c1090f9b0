#pragma once

#include <stdint.h>

#include "cards/evaluate.h"

namespace odds {

const int kCategories = kRoyalFlush + 1;
// Every multiset of five ranks has its slot: the ranks in ascending order,
// each raised by its place, form a set of 0..16.
const int kRankPatterns = 6188;  // C(17, 5)

// The slot of five ranks (0 ace .. 12 king) given in ascending order.
int RankPattern(const int* ascendingRanks);

// The game's own verdict on every kind of five-card hand. A hand's category
// rests only on its ranks and on whether it is a flush, so one hand of each
// kind is put to EvaluateHand, and ScoreHand gives each category's payout
// and name.
class HandKinds {
public:
    HandKinds();

    int Category(int rankPattern, bool oneSuit) const { return category[rankPattern][oneSuit]; }
    int Payout(int category) const { return payout[category]; }
    const wchar_t* Name(int category) const { return name[category]; }

private:
    void Evaluate(const int* ascendingRanks, bool oneSuit);

    int8_t category[kRankPatterns][2];
    int payout[kCategories] = {};
    wchar_t name[kCategories][16] = {};
};

}  // namespace odds
