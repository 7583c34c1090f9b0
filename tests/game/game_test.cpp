#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>

#include "cards/evaluate.h"
#include "game/game.h"
#include "game/game_session.h"
#include "resources/resource.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/hands.h"

namespace {

int refreshes = 0;

// The game as a new item starts it, its repaints counted. What a deal does
// is checked by the row's taps and the first deal's golden screenshot.
class GamePlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameSession = GameSession();
        gameSession.wallet = kFullWallet;
        gameSession.cardBackIcon = IDI_FIRST_CARD_BACK;
        DealHand();
        refreshes = 0;
    }
};

TEST_F(GamePlay, MarksStopAtTheLimitUnmarkingAlwaysWorksAndALoweredLimitKeepsMarks)
{
    for (auto [fiveDiscards, limit] : {std::pair{0, 3}, {1, 5}, {7, 5}}) {
        gameSession.fiveDiscards = fiveDiscards;
        DealHand();
        refreshes = 0;
        for (int position = 0; position < 5; ++position) {
            ToggleDiscardMark(position);
            EXPECT_EQ(gameSession.discardMarks[position], position < limit ? 1 : 0) << position;
            EXPECT_EQ(refreshes, position < limit ? position + 1 : limit) << "a refused mark does not repaint";
        }
        for (int position = 0; position < limit; ++position)
            ToggleDiscardMark(position);
        EXPECT_EQ(std::count(gameSession.discardMarks, gameSession.discardMarks + 5, 0), 5);
        EXPECT_EQ(refreshes, 2 * limit);
    }
    const GameSession before = gameSession;
    for (int position : {-1, 5}) {
        ToggleDiscardMark(position);
        EXPECT_EQ(memcmp(&gameSession, &before, sizeof(before)), 0) << position << " is off the row: nothing changes";
    }
    EXPECT_EQ(refreshes, 2 * 5);
    gameSession.fiveDiscards = 1;
    for (int position = 0; position < 4; ++position)
        ToggleDiscardMark(position);
    gameSession.fiveDiscards = 0;
    ToggleDiscardMark(0);
    ToggleDiscardMark(4);
    EXPECT_EQ(gameSession.discardMarks[4], 0) << "still three marked";
    ToggleDiscardMark(1);
    ToggleDiscardMark(4);
    EXPECT_EQ(gameSession.discardMarks[4], 1);
}

TEST_F(GamePlay, DrawKeepsTheKeptCardsInOrderAppendsTheNewOnesPaysAndRepaintsOnce)
{
    FixedClock clock(2026, 12, 13, 14, 25, 36);
    for (std::vector<int> marked : {std::vector<int>{}, {1, 3}, {0}, {4}, {0, 1, 2, 3, 4}}) {
        gameSession.fiveDiscards = 1;
        DealHand();
        const std::vector<int> dealt = Held(gameSession.hand);
        std::vector<int> expected;
        for (int position = 0; position < 5; ++position)
            if (std::find(marked.begin(), marked.end(), position) == marked.end())
                expected.push_back(dealt[position]);
        for (size_t i = 0; i < marked.size(); ++i)
            expected.push_back(gameSession.deck.cards[5 + i]);  // the deck's next cards, in order
        for (int position : marked)
            ToggleDiscardMark(position);
        const int walletBefore = gameSession.wallet;
        refreshes = 0;
        DrawCards();
        EXPECT_EQ(Held(gameSession.hand), expected);
        EXPECT_EQ(refreshes, 1);
        EXPECT_EQ(std::count(gameSession.discardMarks, gameSession.discardMarks + 5, 0), 5);
        EXPECT_EQ(gameSession.awaitingDraw, 0);
        wchar_t name[kTextUnits];
        EXPECT_EQ(gameSession.wallet, walletBefore + ScoreHand(gameSession.hand, name));
        EXPECT_STREQ(gameSession.statusText, name);
    }
}

}  // namespace

// The row that shows the game: here a count of its repaints.
void RefreshItem()
{
    ++refreshes;
}
