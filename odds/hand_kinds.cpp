#include "hand_kinds.h"

#include <string.h>
#include <wchar.h>

#include "cards/hand.h"
#include "odds/card_sets.h"
#include "odds/rank_draws.h"

namespace odds {

int RankPattern(const int* ascendingRanks)
{
    int places[kHandCards];
    for (int i = 0; i < kHandCards; ++i)
        places[i] = ascendingRanks[i] + i;
    return SubsetIndex(places, kHandCards);
}

HandKinds::HandKinds()
{
    memset(category, -1, sizeof category);
    const int everyCard[kRanks] = {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4};
    ForEachRankDraw(everyCard, kHandCards, [this](const int* ranks, int, int64_t) {
        Evaluate(ranks, false);
        bool distinct = true;
        for (int i = 1; i < kHandCards; ++i)
            distinct = distinct && ranks[i] != ranks[i - 1];
        if (distinct)
            Evaluate(ranks, true);
    });
}

void HandKinds::Evaluate(const int* ascendingRanks, bool oneSuit)
{
    CardHand hand;
    hand.capacity = kHandCards;
    // Cards of one rank stand side by side, so giving the cards the suits in
    // turn makes them different cards, and never all of one suit.
    for (int i = 0; i < kHandCards; ++i)
        hand.AddCard((oneSuit ? 0 : i % 4) * kRanks + ascendingRanks[i] + 1);
    const int found = EvaluateHand(hand);
    category[RankPattern(ascendingRanks)][oneSuit] = static_cast<int8_t>(found);
    if (name[found][0])
        return;  // scored already: a category's payout is one
    wchar_t text[40];
    payout[found] = ScoreHand(hand, text);
    wcsncpy(name[found], text, 15);
    name[found][15] = 0;
}

}  // namespace odds
