#pragma once

#include <stdint.h>

#include "odds/hold_values.h"

namespace odds {

// The discard limits of the game: three, or five with "Five Discards".
const int kDiscardLimits[] = {3, 5};
const int kDiscardRules = 2;

// One way of playing, summed over every deal. A sum counts each deal in
// units of 1 / kValueDenominator.
struct PlayTotals {
    int64_t payout = 0;
    int64_t finalHands[kCategories] = {};
};

struct GameReturn {
    PlayTotals optimal[kDiscardRules];
    PlayTotals simpleRule[kDiscardRules];
    PlayTotals neverDrawing;
    int64_t deals = 0;  // 2,598,960 when every suit class has been counted

    // A total's share of everything dealt: payout per dollar, or a final
    // hand's share.
    static constexpr int64_t Denominator(int64_t deals) { return deals * kValueDenominator; }
};

// The simple rule a player can remember, in words.
extern const char kSimpleRuleText[];

// The hold of the simple rule a player can remember (kSimpleRuleText).
int SimpleRuleHold(const DrawTables& tables, const int* deal, int maxDiscards);

// Every deal, one suit class at a time, on as many threads as given.
GameReturn ComputeGameReturn(const DrawTables& tables, int threads);

}  // namespace odds
