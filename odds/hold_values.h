#pragma once

#include <stdint.h>

#include "odds/draw_tables.h"

namespace odds {

const int kHolds = 1 << kHandCards;  // bit i of a hold keeps card i

// Every draw that could follow each hold of one deal, exactly: how many of
// them end in each category and what they pay in all.
struct HoldValues {
    CategoryCounts draws[kHolds];
    int64_t payoutSum[kHolds];
};

// A common denominator of every hold's expected payout: the least common
// multiple of C(47, k) for k 0 to 5.
const int64_t kValueDenominator = 7669695;

int HeldCards(int hold);
// How many draws can follow a hold: C(47, cards discarded).
int64_t DrawsAfter(int hold);
// A hold's expected payout times kValueDenominator, an exact integer.
int64_t ScaledValue(const HoldValues& values, int hold);

// Fills values for a deal of five different cards in any order. Inclusion
// and exclusion over the discarded cards turn the counts of hands that
// contain a set into the counts of draws that avoid the discards.
void ValueHolds(const DrawTables& tables, const int* deal, HoldValues& values);

// Fills values.payoutSum from values.draws.
void SumPayouts(const HandKinds& kinds, HoldValues& values);

// The best hold with at most maxDiscards discards; of holds worth the same,
// the one that keeps more cards, then the lowest.
int BestHold(const HoldValues& values, int maxDiscards);

}  // namespace odds
