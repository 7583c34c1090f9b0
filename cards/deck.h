#pragma once

#include "runtime.h"

// The 52-card deck, reset and shuffled from the local time, dealt from the top.
struct CardDeck {
    static constexpr int kSlots = 54;  // the last two are never used

    int cards[kSlots];
    int nextIndex;
    int count;
    unsigned int shuffleCount;  // counts shuffles while the program runs

    CardDeck();

    void Reset();
    void Shuffle();
    // The next card, or kEmptyCard once the deck is dealt out.
    int DealCard();
};

// The generator seed of a shuffle: the shuffle's number times the nonzero
// fields of the local time, wrapping at 32 bits.
unsigned int ShuffleSeed(unsigned int shuffleNumber, const SYSTEMTIME& time);
