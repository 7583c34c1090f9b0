#pragma once

#include <stdint.h>
#include <vector>

#include "odds/card_sets.h"
#include "odds/hand_kinds.h"

namespace odds {

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
// of cards how many hands of the full deck contain it, by category; built
// on as many threads as given.
class DrawTables {
public:
    explicit DrawTables(int threads = 1);

    // The category of a hand of five cards in ascending order.
    int Category(const int* ascending) const { return handCategory[SubsetIndex(ascending, kHandCards)]; }
    // The hands of the full deck that hold every card of a set of at most
    // four cards in ascending order.
    const CategoryCounts& Containing(const int* ascending, int count) const
    {
        return containing[count][SubsetIndex(ascending, count)];
    }
    const HandKinds& Kinds() const { return kinds; }
    int Payout(int category) const { return kinds.Payout(category); }
    const wchar_t* Name(int category) const { return kinds.Name(category); }
    // One deal of every suit class, 134,459 in all, with the deals it stands for.
    const std::vector<SuitClass>& SuitClasses() const { return suitClasses; }

private:
    void ClassifyHandsWithTop(int top, std::vector<SuitClass>& classes);
    void CountSetsWithTop(int size, int top);

    const HandKinds kinds;
    std::vector<uint8_t> handCategory;
    std::vector<CategoryCounts> containing[kHandCards];  // by the set's size
    std::vector<SuitClass> suitClasses;
};

}  // namespace odds
