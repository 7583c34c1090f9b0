#include "device_play.h"

#include <math.h>

#include "device/calendar.h"
#include "game/game.h"
#include "game/game_session.h"
#include "odds/hold_values.h"

#ifdef _WIN32
#include "device/clock_text.h"
#include "device/device_environment.h"
#endif

namespace odds {

const SYSTEMTIME kDevicePlayStart = {2027, 1, 5, 1, 9, 0, 0, 0};  // a Friday

namespace {

// The device clock that the deck's shuffle reads. The device's own clock
// service answers its setting; the host build has a clock of its own.
void SetDeviceClock(const SYSTEMTIME& time)
{
#ifdef _WIN32
    SetEnvironmentVariableW(kDeviceClockVariable, FormatDeviceClock(time).c_str());
#else
    FixLocalTime(&time);
#endif
}

void AddSeconds(SYSTEMTIME& time, int seconds)
{
    int second = time.wSecond + seconds;
    int minute = time.wMinute + second / 60;
    int hour = time.wHour + minute / 60;
    time.wSecond = static_cast<WORD>(second % 60);
    time.wMinute = static_cast<WORD>(minute % 60);
    time.wHour = static_cast<WORD>(hour % 24);
    for (int days = hour / 24; days > 0; --days) {
        time.wDayOfWeek = static_cast<WORD>((time.wDayOfWeek + 1) % 7);
        if (++time.wDay > DaysInMonth(time.wYear, time.wMonth)) {
            time.wDay = 1;
            if (++time.wMonth > 12) {
                time.wMonth = 1;
                ++time.wYear;
            }
        }
    }
}

// How long a player takes over a hand: 4 to 15 seconds, from a generator of
// our own so that the device's stays the deck's alone.
int ThinkingSeconds(uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return 4 + static_cast<int>(state % 12);
}

}  // namespace

double DevicePlay::Return() const
{
    return hands ? static_cast<double>(payout) / hands : 0;
}

double DevicePlay::StandardError() const
{
    if (hands < 2)
        return 0;
    const double mean = Return();
    const double variance = (payoutSquares - hands * mean * mean) / (hands - 1);
    return sqrt(variance / hands);
}

DevicePlay PlayOnDevice(const DrawTables& tables, int64_t hands, int maxDiscards,
                        const std::function<void(int64_t played)>& progress)
{
    SYSTEMTIME clock = kDevicePlayStart;
    uint32_t thinking = 2463534242u;
    // A library just loaded: its deck counts shuffles from 1.
    gameSession = GameSession();
    gameSession.fiveDiscards = maxDiscards > 3;
    HoldValues values;
    DevicePlay play;
    for (; play.hands < hands; ++play.hands) {
        if (progress && play.hands % 65536 == 0)
            progress(play.hands);
        // Each hand's wallet from 0: a long run would take one wallet past an int.
        gameSession.wallet = 0;
        SetDeviceClock(clock);
        DealHand();
        const int staked = gameSession.wallet;

        int cards[kHandCards];
        for (int i = 0; i < kHandCards; ++i)
            cards[i] = gameSession.hand.cards[i] - 1;
        ValueHolds(tables, cards, values);
        const int hold = BestHold(values, maxDiscards);
        for (int p = 0; p < kHandCards; ++p) {
            if (!(hold & (1 << p)))
                ToggleDiscardMark(p);
        }
        DrawCards();
        const int payout = gameSession.wallet - staked;
        play.payout += payout;
        play.payoutSquares += static_cast<double>(payout) * payout;
        AddSeconds(clock, ThinkingSeconds(thinking));
    }
    return play;
}

}  // namespace odds

// The odds play the game with no row to show it.
void RefreshItem()
{
}
