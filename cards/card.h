#pragma once

// A card is an int: 1..13 clubs, 14..26 diamonds, 27..39 hearts, 40..52
// spades, each block ace, 2..10, jack, queen, king. -1 marks an empty slot.
const int kEmptyCard = -1;
const int kCardsInDeck = 52;

const int kAce = 1;
const int kKing = 13;

enum CardSuitCode { kSpades = 0, kHearts = 1, kDiamonds = 2, kClubs = 3, kNoSuit = 4 };

// 1 (ace) to 13 (king), in every suit.
int CardRank(int value);

// One of CardSuitCode; kNoSuit for anything that is not a card.
int CardSuit(int value);
