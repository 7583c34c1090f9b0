#pragma once

#include <stdint.h>

// Sets of up to five cards, numbered by the combinatorial number system: the
// k-card sets of the 52 take the slots 0 .. C(52, k) - 1 of a table, and
// stepping through them in that order is stepping through the slots one by
// one. A card here is its game value minus one: 0..12 clubs, 13..25 diamonds,
// 26..38 hearts, 39..51 spades, each block ace first.
namespace odds {

const int kDeckCards = 52;
const int kHandCards = 5;
const int kUnseenCards = kDeckCards - kHandCards;  // what a draw comes from

// n choose k for n up to 52 and k up to 5.
int64_t Choose(int n, int k);

// The slot of a set given in ascending order.
int32_t SubsetIndex(const int* ascending, int count);

// The first set of count cards: 0, 1, ..., count - 1.
void FirstSubset(int* ascending, int count);
// Steps to the set in the next slot; false after the last.
bool NextSubset(int* ascending, int count);

// The sets of count cards whose highest card is top take Choose(top, count -
// 1) slots in a row from Choose(top, count); this is the first of them.
void FirstSubsetWithTop(int* ascending, int count, int top);

// The slots of the sets that add one card to a set of at most four cards in
// ascending order, into slots (kDeckCards of them at most); answers how many.
int SupersetSlots(const int* ascending, int count, int32_t* slots);

// The card's rank: 0 ace .. 12 king.
inline int CardRankIndex(int card)
{
    return card % 13;
}
// The card's block: clubs 0 .. spades 3, the reverse of CardSuit's codes.
inline int ClubsFirstSuit(int card)
{
    return card / 13;
}

}  // namespace odds
