#pragma once

#include "cards/deck.h"
#include "cards/hand.h"
#include "cards/runtime.h"
#include "resources/resource.h"

const int kHandSize = 5;
const int kTextUnits = 40;    // every text buffer of the item
const int kFullWallet = 100;  // a new item's wallet, and the options' refill
// The library's icon ids lie from the first card face to the draw button.
const int kFirstIconId = IDI_CARD_FACE_BASE + 1;
const int kIconSlots = IDI_DRAW_BUTTON - kFirstIconId + 1;

// Everything the item keeps: one record per process, zero when the library
// is loaded but for the hand and the deck.
struct GameSession {
    CardHand hand;  // before the deck: the device's load order; neither reads the other
    CardDeck deck;
    int awaitingDraw;              // 1 from a deal until its draw
    WCHAR statusText[kTextUnits];  // "Discard", or the final hand's name
    int fiveDiscards;              // nonzero: five marks allowed, not three
    int cardBackIcon;              // icon id drawn for a marked card
    int discardMarks[kHandSize];   // 1 marks the card at that position
    int wallet;                    // dollars; may go below zero
    int heightPending;             // the row height is still to be reported
    HWND itemWindow;
    int themedShell;  // take the Today screen's colours and watermark
    HINSTANCE moduleInstance;
    HICON icons[kIconSlots];  // by id from kFirstIconId; loaded at first draw
};

extern GameSession gameSession;
