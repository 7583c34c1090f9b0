#include <gtest/gtest.h>

#include <algorithm>

#include "cards/evaluate.h"
#include "item/game.h"
#include "item/game_session.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/hands.h"
#include "tests/support/today_stub.h"

namespace {

// The game on a fresh item's row, which counts its repaints: each asks the
// Today screen for the text colour twice.
class GamePlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameSession.themedShell = 1;
        ASSERT_TRUE(today_stub::InitializeItem(&record));
        today_stub::PumpMessages();
        today_stub::colorQueries = 0;
    }
    static int Paints() { return today_stub::colorQueries / 2; }

    TODAYLISTITEM record;
};

TEST_F(GamePlay, MarksStopAtTheLimitUnmarkingAlwaysWorksAndALoweredLimitKeepsMarks)
{
    for (auto [fiveDiscards, limit] : {std::pair{0, 3}, {1, 5}, {7, 5}}) {
        gameSession.fiveDiscards = fiveDiscards;
        DealHand();
        today_stub::colorQueries = 0;
        for (int position = 0; position < 5; ++position) {
            ToggleDiscardMark(position);
            EXPECT_EQ(gameSession.discardMarks[position], position < limit ? 1 : 0) << position;
            EXPECT_EQ(Paints(), position < limit ? position + 1 : limit) << "a refused mark does not repaint";
        }
        for (int position = 0; position < limit; ++position)
            ToggleDiscardMark(position);
        EXPECT_EQ(std::count(gameSession.discardMarks, gameSession.discardMarks + 5, 0), 5);
        EXPECT_EQ(Paints(), 2 * limit);
    }
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

TEST_F(GamePlay, DrawKeepsTheKeptCardsInOrderAppendsTheNewOnesAndPays)
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
        today_stub::colorQueries = 0;
        DrawCards();
        EXPECT_EQ(Held(gameSession.hand), expected);
        EXPECT_EQ(Paints(), 1);
        EXPECT_EQ(std::count(gameSession.discardMarks, gameSession.discardMarks + 5, 0), 5);
        EXPECT_EQ(gameSession.awaitingDraw, 0);
        wchar_t name[40];
        EXPECT_EQ(gameSession.wallet, walletBefore + ScoreHand(gameSession.hand, name));
        EXPECT_STREQ(gameSession.statusText, name);
    }
    const HWND row = gameSession.itemWindow;
    gameSession.itemWindow = nullptr;
    RefreshItem();
    today_stub::PumpMessages();
    EXPECT_EQ(Paints(), 1) << "no window, no repaint";
    gameSession.itemWindow = row;
    RefreshItem();
    EXPECT_EQ(Paints(), 2) << "repainted before RefreshItem returns";
}

}  // namespace
