#pragma once

#include <stdint.h>

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

// The clock the run starts from: the device clock of the first deal.
extern const char kDevicePlayStart[];

// Plays hands through the game's own moves, deck and generator, on the
// process's one game record: one device that is never reset, its clock
// moving on by a player's few seconds a hand.
DevicePlay PlayOnDevice(const DrawTables& tables, int64_t hands, int maxDiscards);

}  // namespace odds
