#pragma once

#include "odds/hold_values.h"

namespace odds {

// Fills values for the holds of a deal of five different cards that keep at
// least five less maxDiscards cards, the others left at zero. The draws
// after a hold are counted by the ranks they bring, and by the suits only
// where they could make a flush, so one deal needs no tables of the deck.
void CountHoldDraws(const HandKinds& kinds, const int* deal, int maxDiscards, HoldValues& values);

}  // namespace odds
