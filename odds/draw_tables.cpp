#include "draw_tables.h"

#include <algorithm>

#include "odds/parallel_tasks.h"

namespace odds {

namespace {

// The deals a suit class stands for when its deal has these rank masks per
// suit in non-increasing order: 24 namings of the suits, less those that
// only exchange suits holding the same ranks.
int8_t DealsOfClass(const int* masks)
{
    int deals = 24;
    for (int i = 0; i < 4;) {
        int same = 1;
        while (i + same < 4 && masks[i + same] == masks[i])
            ++same;
        for (int f = 2; f <= same; ++f)
            deals /= f;
        i += same;
    }
    return static_cast<int8_t>(deals);
}

// The highest card of a task's sets: the tasks with the most sets first.
int TopOfTask(int task)
{
    return kDeckCards - 1 - task;
}

}  // namespace

DrawTables::DrawTables(int threads) : handCategory(static_cast<size_t>(Choose(kDeckCards, kHandCards)))
{
    // The hands, and the suit classes in the order of their hands, split by
    // their highest card.
    std::vector<std::vector<SuitClass>> classesWithTop(kDeckCards);
    RunTasks(kDeckCards - (kHandCards - 1), threads, [this, &classesWithTop](int task) {
        ClassifyHandsWithTop(TopOfTask(task), classesWithTop[TopOfTask(task)]);
    });
    for (const std::vector<SuitClass>& classes : classesWithTop)
        suitClasses.insert(suitClasses.end(), classes.begin(), classes.end());

    // Each size from the counts of the size above it; each task writes the
    // counts of its own sets only.
    for (int size = kHandCards - 1; size >= 0; --size) {
        containing[size].assign(static_cast<size_t>(Choose(kDeckCards, size)), CategoryCounts{});
        const int tops = size == 0 ? 1 : kDeckCards - (size - 1);  // the empty set has no top
        RunTasks(tops, threads, [this, size](int task) { CountSetsWithTop(size, TopOfTask(task)); });
    }
}

void DrawTables::ClassifyHandsWithTop(int top, std::vector<SuitClass>& classes)
{
    // In slot order the lowest card moves fastest: the other four are
    // sorted and summed up once for every card below them.
    const int kUpper = kHandCards - 1;
    int upper[kUpper];
    FirstSubsetWithTop(upper, kUpper, top);
    int32_t index = static_cast<int32_t>(Choose(top, kHandCards));
    for (int64_t n = Choose(top, kUpper - 1); n > 0; --n, NextSubset(upper, kUpper)) {
        int upperRanks[kUpper];
        int upperMasks[4] = {};
        bool upperOneSuit = true;
        for (int i = 0; i < kUpper; ++i) {
            upperRanks[i] = CardRankIndex(upper[i]);
            upperMasks[ClubsFirstSuit(upper[i])] |= 1 << upperRanks[i];
            upperOneSuit = upperOneSuit && ClubsFirstSuit(upper[i]) == ClubsFirstSuit(upper[0]);
        }
        std::sort(upperRanks, upperRanks + kUpper);

        for (int low = 0; low < upper[0]; ++low) {
            const int rank = CardRankIndex(low);
            int ranks[kHandCards];
            int place = 0;
            for (; place < kUpper && upperRanks[place] < rank; ++place)
                ranks[place] = upperRanks[place];
            ranks[place] = rank;
            std::copy(upperRanks + place, upperRanks + kUpper, ranks + place + 1);
            const bool oneSuit = upperOneSuit && ClubsFirstSuit(low) == ClubsFirstSuit(upper[0]);
            handCategory[index++] = static_cast<uint8_t>(kinds.Category(RankPattern(ranks), oneSuit));

            int masks[4];
            std::copy(upperMasks, upperMasks + 4, masks);
            masks[ClubsFirstSuit(low)] |= 1 << rank;
            if (masks[0] >= masks[1] && masks[1] >= masks[2] && masks[2] >= masks[3]) {
                SuitClass deal;
                deal.cards[0] = static_cast<int8_t>(low);
                for (int i = 0; i < kUpper; ++i)
                    deal.cards[i + 1] = static_cast<int8_t>(upper[i]);
                deal.deals = DealsOfClass(masks);
                classes.push_back(deal);
            }
        }
    }
}

void DrawTables::CountSetsWithTop(int size, int top)
{
    // A hand that holds a set holds it with each of the cards it adds, so
    // adding the counts of every set one card larger counts it that many
    // times, which the division takes out.
    const int32_t repeats = kHandCards - size;
    int cards[kHandCards] = {};
    int32_t index = 0;
    int64_t sets = 1;
    if (size > 0) {
        FirstSubsetWithTop(cards, size, top);
        index = static_cast<int32_t>(Choose(top, size));
        sets = Choose(top, size - 1);
    }
    for (; sets > 0; --sets, NextSubset(cards, size)) {
        CategoryCounts& counts = containing[size][index++];
        int32_t larger[kDeckCards];
        const int found = SupersetSlots(cards, size, larger);
        for (int i = 0; i < found; ++i) {
            if (size + 1 == kHandCards) {
                ++counts.hands[handCategory[larger[i]]];
            } else {
                const CategoryCounts& from = containing[size + 1][larger[i]];
                for (int c = 0; c < kCategories; ++c)
                    counts.hands[c] += from.hands[c];
            }
        }
        for (int32_t& hands : counts.hands)
            hands /= repeats;
    }
}

}  // namespace odds
