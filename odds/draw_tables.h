#pragma once

#include <stdint.h>
#include <vector>

#include "cards/evaluate.h"
#include "odds/card_sets.h"

namespace odds {

const int kCategories = kRoyalFlush + 1;

// How many hands fall into each category.
struct CategoryCounts {
    int32_t hands[kCategories];
};

// A deal the same as others but for the names of its suits, and how many
// deals it stands for.
struct SuitClass {
    int8_t cards[kHandCards];  // ascending
    int8_t deals;              // 1 to 24
};

// The game's own verdict on every five-card hand, and for every smaller set
// of cards how many hands of the full deck contain it, by category. The
// categories come from EvaluateHand and the payouts from ScoreHand; since a
// hand's category rests only on its ranks and on whether it is a flush, each
// kind of hand is put to the evaluator once.
class DrawTables {
public:
    DrawTables();

    // The category of a hand of five cards in ascending order.
    int Category(const int* ascending) const { return handCategory[SubsetIndex(ascending, kHandCards)]; }
    // The hands of the full deck that hold every card of a set of at most
    // four cards in ascending order.
    const CategoryCounts& Containing(const int* ascending, int count) const
    {
        return containing[count][SubsetIndex(ascending, count)];
    }
    int Payout(int category) const { return payout[category]; }
    const wchar_t* Name(int category) const { return name[category]; }
    // One deal of every suit class, 134,459 in all, with the deals it stands for.
    const std::vector<SuitClass>& SuitClasses() const { return suitClasses; }

private:
    void ClassifyEveryHand();
    void CountHandsContaining();

    std::vector<uint8_t> handCategory;
    std::vector<CategoryCounts> containing[kHandCards];  // by the set's size
    std::vector<SuitClass> suitClasses;
    int payout[kCategories];
    wchar_t name[kCategories][16];
};

}  // namespace odds
