#include "draw_tables.h"

#include <string.h>
#include <wchar.h>

#include <algorithm>

#include "cards/hand.h"

namespace odds {

namespace {

// Every multiset of five ranks has its slot: the ranks in ascending order,
// each raised by its place, form a set of 0..16.
const int kRankPatterns = 6188;  // C(17, 5)

int RankPattern(const int* cards)
{
    int ranks[kHandCards];
    for (int i = 0; i < kHandCards; ++i)
        ranks[i] = CardRankIndex(cards[i]);
    std::sort(ranks, ranks + kHandCards);
    for (int i = 0; i < kHandCards; ++i)
        ranks[i] += i;
    return SubsetIndex(ranks, kHandCards);
}

bool IsOneSuit(const int* cards)
{
    for (int i = 1; i < kHandCards; ++i) {
        if (ClubsFirstSuit(cards[i]) != ClubsFirstSuit(cards[0]))
            return false;
    }
    return true;
}

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

}  // namespace

DrawTables::DrawTables() : handCategory(static_cast<size_t>(Choose(kDeckCards, kHandCards)))
{
    ClassifyEveryHand();
    CountHandsContaining();
}

void DrawTables::ClassifyEveryHand()
{
    // Unknown until the evaluator has seen a hand of that kind.
    int8_t byKind[kRankPatterns][2];
    memset(byKind, -1, sizeof byKind);

    int cards[kHandCards];
    FirstSubset(cards, kHandCards);
    int32_t index = 0;
    do {
        int8_t& category = byKind[RankPattern(cards)][IsOneSuit(cards)];
        if (category < 0) {
            CardHand hand;
            hand.capacity = kHandCards;
            for (int card : cards)
                hand.AddCard(card + 1);
            wchar_t text[40];
            category = static_cast<int8_t>(EvaluateHand(hand));
            payout[category] = ScoreHand(hand, text);
            wcsncpy(name[category], text, 15);
            name[category][15] = 0;
        }
        handCategory[index++] = static_cast<uint8_t>(category);

        int masks[4] = {};
        for (int card : cards)
            masks[ClubsFirstSuit(card)] |= 1 << CardRankIndex(card);
        if (masks[0] >= masks[1] && masks[1] >= masks[2] && masks[2] >= masks[3]) {
            SuitClass deal;
            for (int i = 0; i < kHandCards; ++i)
                deal.cards[i] = static_cast<int8_t>(cards[i]);
            deal.deals = DealsOfClass(masks);
            suitClasses.push_back(deal);
        }
    } while (NextSubset(cards, kHandCards));
}

void DrawTables::CountHandsContaining()
{
    for (int size = 0; size < kHandCards; ++size)
        containing[size].assign(static_cast<size_t>(Choose(kDeckCards, size)), CategoryCounts{});

    // Each set of size k - 1 passes its count on to the sets one smaller
    // than it; a hand that holds a smaller set is then counted once for each
    // card it adds beyond it, which the division takes out.
    for (int size = kHandCards; size >= 1; --size) {
        int cards[kHandCards];
        FirstSubset(cards, size);
        int32_t index = 0;
        do {
            for (int left = 0; left < size; ++left) {
                int smaller[kHandCards];
                int n = 0;
                for (int i = 0; i < size; ++i) {
                    if (i != left)
                        smaller[n++] = cards[i];
                }
                CategoryCounts& into = containing[size - 1][SubsetIndex(smaller, n)];
                if (size == kHandCards) {
                    ++into.hands[handCategory[index]];
                } else {
                    const CategoryCounts& from = containing[size][index];
                    for (int c = 0; c < kCategories; ++c)
                        into.hands[c] += from.hands[c];
                }
            }
            ++index;
        } while (NextSubset(cards, size));
        const int32_t repeats = kHandCards - (size - 1);
        for (CategoryCounts& counts : containing[size - 1]) {
            for (int32_t& hands : counts.hands)
                hands /= repeats;
        }
    }
}

}  // namespace odds
