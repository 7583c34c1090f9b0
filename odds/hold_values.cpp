#include "hold_values.h"

#include <algorithm>

namespace odds {

int HeldCards(int hold)
{
    return __builtin_popcount(static_cast<unsigned>(hold));
}

int64_t DrawsAfter(int hold)
{
    return Choose(kUnseenCards, kHandCards - HeldCards(hold));
}

int64_t ScaledValue(const HoldValues& values, int hold)
{
    return values.payoutSum[hold] * (kValueDenominator / DrawsAfter(hold));
}

void ValueHolds(const DrawTables& tables, const int* deal, HoldValues& values)
{
    // Places of the deal's cards in ascending order of card.
    int order[kHandCards] = {0, 1, 2, 3, 4};
    std::sort(order, order + kHandCards, [deal](int a, int b) { return deal[a] < deal[b]; });

    // Hands of the full deck that contain each part of the deal.
    for (int set = 0; set < kHolds; ++set) {
        int ascending[kHandCards];
        int count = 0;
        for (int i = 0; i < kHandCards; ++i) {
            if (set & (1 << order[i]))
                ascending[count++] = deal[order[i]];
        }
        CategoryCounts& counts = values.draws[set];
        if (count == kHandCards) {
            counts = CategoryCounts{};
            counts.hands[tables.Category(ascending)] = 1;
        } else {
            counts = tables.Containing(ascending, count);
        }
    }
    // Take out, card by card, the hands that hold a discarded card.
    for (int bit = 1; bit < kHolds; bit <<= 1) {
        for (int hold = 0; hold < kHolds; ++hold) {
            if (hold & bit)
                continue;
            for (int c = 0; c < kCategories; ++c)
                values.draws[hold].hands[c] -= values.draws[hold | bit].hands[c];
        }
    }
    SumPayouts(tables.Kinds(), values);
}

void SumPayouts(const HandKinds& kinds, HoldValues& values)
{
    for (int hold = 0; hold < kHolds; ++hold) {
        int64_t sum = 0;
        for (int c = 0; c < kCategories; ++c)
            sum += int64_t{values.draws[hold].hands[c]} * kinds.Payout(c);
        values.payoutSum[hold] = sum;
    }
}

int BestHold(const HoldValues& values, int maxDiscards)
{
    int best = kHolds - 1;
    int64_t bestValue = ScaledValue(values, best);
    for (int held = kHandCards - 1; held >= kHandCards - maxDiscards; --held) {
        for (int hold = 0; hold < kHolds; ++hold) {
            if (HeldCards(hold) != held)
                continue;
            const int64_t value = ScaledValue(values, hold);
            if (value > bestValue) {
                best = hold;
                bestValue = value;
            }
        }
    }
    return best;
}

}  // namespace odds
