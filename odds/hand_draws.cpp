#include "hand_draws.h"

#include <algorithm>

#include "odds/rank_draws.h"

namespace odds {

namespace {

struct Unseen {
    bool card[kDeckCards];
    int ofRank[kRanks];
};

// How many ways the drawn ranks come in one suit of suits, each card of
// them unseen.
int64_t FlushesOf(const Unseen& unseen, const int* suits, int suitCount, const int* drawn, int count)
{
    int64_t flushes = 0;
    for (int s = 0; s < suitCount; ++s) {
        bool possible = true;
        for (int i = 0; i < count && possible; ++i)
            possible = (i == 0 || drawn[i] != drawn[i - 1]) && unseen.card[suits[s] * kRanks + drawn[i]];
        flushes += possible;
    }
    return flushes;
}

void CountDrawsAfter(const HandKinds& kinds, const int* deal, int hold, const Unseen& unseen, CategoryCounts& counts)
{
    int heldRanks[kHandCards];
    int heldCount = 0;
    for (int i = 0; i < kHandCards; ++i) {
        if (hold & (1 << i))
            heldRanks[heldCount++] = CardRankIndex(deal[i]);
    }
    // A flush can come only in the held cards' one suit, or in any with none held.
    int suits[4];
    int suitCount = 0;
    for (int suit = 0; suit < 4; ++suit) {
        bool allOfSuit = true;
        for (int i = 0; i < kHandCards; ++i)
            allOfSuit = allOfSuit && (!(hold & (1 << i)) || ClubsFirstSuit(deal[i]) == suit);
        if (allOfSuit)
            suits[suitCount++] = suit;
    }
    ForEachRankDraw(unseen.ofRank, kHandCards - heldCount, [&](const int* drawn, int count, int64_t ways) {
        int ranks[kHandCards];
        std::copy(heldRanks, heldRanks + heldCount, ranks);
        std::copy(drawn, drawn + count, ranks + heldCount);
        std::sort(ranks, ranks + kHandCards);
        const int pattern = RankPattern(ranks);
        const int64_t flushes = FlushesOf(unseen, suits, suitCount, drawn, count);
        counts.hands[kinds.Category(pattern, false)] += static_cast<int32_t>(ways - flushes);
        if (flushes)  // only ranks that differ have a flush at all
            counts.hands[kinds.Category(pattern, true)] += static_cast<int32_t>(flushes);
    });
}

}  // namespace

void CountHoldDraws(const HandKinds& kinds, const int* deal, int maxDiscards, HoldValues& values)
{
    Unseen unseen;
    std::fill(unseen.card, unseen.card + kDeckCards, true);
    std::fill(unseen.ofRank, unseen.ofRank + kRanks, 4);
    for (int i = 0; i < kHandCards; ++i) {
        unseen.card[deal[i]] = false;
        --unseen.ofRank[CardRankIndex(deal[i])];
    }
    values = HoldValues{};
    for (int hold = 0; hold < kHolds; ++hold) {
        if (HeldCards(hold) >= kHandCards - maxDiscards)
            CountDrawsAfter(kinds, deal, hold, unseen, values.draws[hold]);
    }
    SumPayouts(kinds, values);
}

}  // namespace odds
