#pragma once

#include "hand.h"

// 0 Nothing up to 9 Royal Flush; higher is better.
enum HandCategory {
    kNothing = 0,
    kPair = 1,
    kTwoPair = 2,
    kThreeOfAKind = 3,
    kStraight = 4,
    kFlush = 5,
    kFullHouse = 6,
    kFourOfAKind = 7,
    kStraightFlush = 8,
    kRoyalFlush = 9,
};

// The category of a five-card hand; the hand itself is not reordered.
int EvaluateHand(const CardHand& hand);

// Writes the category's short name into text (at least 11 units) and answers
// the payout in dollars, the bet already taken.
int ScoreHand(const CardHand& hand, wchar_t* text);

// Three of the tests EvaluateHand is built from. Each works on a working copy
// that it may reorder, and answers 1 or 0 unless it says otherwise.
// Also collects the cards of the run it reports into straightCards.
int FindStraight(CardHand& hand, CardHand& straightCards);
// Answers how many ranks occur three times; rank is the last one found, or 0.
int CountTriples(CardHand& hand, int& rank);
// Answers the number of pairs, not counting the cards of a triple.
int CountPairs(CardHand& hand);
