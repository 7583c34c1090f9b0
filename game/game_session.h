#pragma once

#include "cards/deck.h"
#include "cards/hand.h"

const int kHandSize = 5;
const int kTextUnits = 40;    // every text buffer of the item
const int kFullWallet = 100;  // a new item's wallet, and the options' refill

// The game the item plays: one record per process, zero when the library is
// loaded but for the hand and the deck. The window that shows it keeps its
// own state beside it.
struct GameSession {
    CardHand hand;  // before the deck: the device's load order; neither reads the other
    CardDeck deck;
    int awaitingDraw;                // 1 from a deal until its draw
    wchar_t statusText[kTextUnits];  // "Discard", or the final hand's name
    int fiveDiscards;                // nonzero: five marks allowed, not three
    int cardBackIcon;                // icon id drawn for a marked card
    int discardMarks[kHandSize];     // 1 marks the card at that position
    int wallet;                      // dollars; may go below zero
};

extern GameSession gameSession;
