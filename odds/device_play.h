#pragma once

#include <stdint.h>

#include <functional>

#include "cards/runtime.h"  // SYSTEMTIME
#include "odds/draw_tables.h"

namespace odds {

// Hands played as the item deals them, with the best hold for each.
struct DevicePlay {
    int64_t hands = 0;
    int64_t payout = 0;
    double payoutSquares = 0;  // for the spread of one hand's payout

    double Return() const;
    double StandardError() const;
};

// The most hands a run plays, so that a run ends in minutes.
const int64_t kMostDeviceHands = 100000000;

// The clock the run starts from: the device clock of the first deal.
extern const SYSTEMTIME kDevicePlayStart;

// Plays hands through the game's own moves, deck and generator, on the
// process's one game record: one device that is never reset, its clock
// moving on by a player's few seconds a hand. Tells progress, if given,
// the hands played so far every 65,536 hands.
DevicePlay PlayOnDevice(const DrawTables& tables, int64_t hands, int maxDiscards,
                        const std::function<void(int64_t played)>& progress = nullptr);

}  // namespace odds
