#pragma once

// A card is an int: 1..13 clubs, 14..26 diamonds, 27..39 hearts, 40..52
// spades, each block ace, 2..10, jack, queen, king. -1 marks an empty slot.
const int kEmptyCard = -1;
const int kCardsInDeck = 52;

const int kAce = 1;
const int kKing = 13;

// CardSuit's codes: spades first, the reverse of the value blocks' order.
enum SpadesFirstSuitCode { kSpades = 0, kHearts = 1, kDiamonds = 2, kClubs = 3, kNoSuit = 4 };

// Both are inline: the sort and the runs of the evaluation ask them in
// their innermost loops.

// The rank of each card value 0 to 52, looked up rather than divided out.
inline constexpr signed char kRankOfValue[kCardsInDeck + 1] = {
    13, 1, 2, 3, 4, 5, 6, 7, 8, 9,  10, 11, 12, 13, 1, 2, 3, 4, 5, 6, 7, 8, 9,  10, 11, 12, 13,
    1,  2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 1,  2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

// 1 (ace) to 13 (king), in every suit; any other value by the same rule.
inline int CardRank(int value)
{
    if (static_cast<unsigned>(value) <= kCardsInDeck)
        return kRankOfValue[value];
    const int rank = value % 13;
    return rank != 0 ? rank : 13;
}

// One of SpadesFirstSuitCode; kNoSuit for anything that is not a card.
inline int CardSuit(int value)
{
    if (value < 1 || value > 52)
        return kNoSuit;
    return kClubs - (value - 1) / 13;
}
