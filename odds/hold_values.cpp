#include "hold_values.h"

#include <algorithm>

namespace odds {

namespace {

// The cards a hold keeps, the draws after it and the scale of its value;
// looked up, as the best hold of every deal asks them over and over (a
// popcount is a library call on a processor not known to have it).
struct HoldFacts {
    int held[kHolds];
    int64_t draws[kHandCards + 1];  // by the cards held
    int64_t scale[kHandCards + 1];

    HoldFacts()
    {
        for (int hold = 0; hold < kHolds; ++hold) {
            held[hold] = 0;
            for (int bit = 1; bit < kHolds; bit <<= 1)
                held[hold] += (hold & bit) != 0;
        }
        for (int cards = 0; cards <= kHandCards; ++cards) {
            draws[cards] = Choose(kUnseenCards, kHandCards - cards);
            scale[cards] = kValueDenominator / draws[cards];
        }
    }
};

const HoldFacts kHoldFacts;

}  // namespace

int HeldCards(int hold)
{
    return kHoldFacts.held[hold];
}

int64_t DrawsAfter(int hold)
{
    return kHoldFacts.draws[HeldCards(hold)];
}

int64_t ScaledValue(const HoldValues& values, int hold)
{
    return values.payoutSum[hold] * kHoldFacts.scale[HeldCards(hold)];
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
