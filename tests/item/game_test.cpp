#include <gtest/gtest.h>

#include "cards/evaluate.h"
#include "item/game.h"
#include "item/game_session.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/hands.h"

namespace {

int paints = 0;

LRESULT CALLBACK CountingWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    ++paints;
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    EndPaint(window, &ps);
    return 0;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

// A real row window that counts its repaints, in one host window for the
// program (destroying a top-level window costs Wine seconds without a
// window manager), and a session as a fresh item has it.
class GamePlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        static HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 40, nullptr,
                                           nullptr, nullptr, nullptr);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = CountingWndProc;
        wc.lpszClassName = L"GameTestRow";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, L"GameTestRow", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 20, host, nullptr,
                                 nullptr, nullptr);
        UpdateWindow(window);
        PumpMessages();
        paints = 0;
        gameSession.itemWindow = window;
        gameSession.wallet = 100;
        gameSession.fiveDiscards = 0;
        for (int& mark : gameSession.discardMarks)
            mark = 0;
    }
    void TearDown() override { DestroyWindow(window); }

    HWND window = nullptr;
};

TEST_F(GamePlay, DealTakesTheBetAndShowsFiveSortedCardsWithoutRepainting)
{
    for (int wallet : {100, 0, -7}) {
        gameSession.wallet = wallet;
        DealHand();
        EXPECT_EQ(gameSession.wallet, wallet - 1);
        EXPECT_EQ(gameSession.awaitingDraw, 1);
        EXPECT_STREQ(gameSession.statusText, L"Discard");
        const std::vector<int> cards = Held(gameSession.hand);
        ASSERT_EQ(cards.size(), 5u);
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(cards[i] >= 1 && cards[i] <= 52);
            EXPECT_TRUE(i == 0 || CardRank(cards[i - 1]) <= CardRank(cards[i]));
            for (int j = 0; j < i; ++j)
                EXPECT_NE(cards[i], cards[j]);
        }
        DrawCards();
    }
    paints = 0;
    DealHand();
    PumpMessages();
    EXPECT_EQ(paints, 0) << "a deal leaves the repaint to its caller";
}

TEST_F(GamePlay, MarksStopAtTheLimitUnmarkingAlwaysWorksAndALoweredLimitKeepsMarks)
{
    for (auto [fiveDiscards, limit] : {std::pair{0, 3}, {1, 5}, {7, 5}}) {
        gameSession.fiveDiscards = fiveDiscards;
        DealHand();
        paints = 0;
        for (int position = 0; position < 5; ++position) {
            ToggleDiscardMark(position);
            EXPECT_EQ(gameSession.discardMarks[position], position < limit ? 1 : 0) << position;
            EXPECT_EQ(paints, position < limit ? position + 1 : limit) << "a refused mark does not repaint";
        }
        for (int position = 0; position < limit; ++position)
            ToggleDiscardMark(position);
        for (int mark : gameSession.discardMarks)
            EXPECT_EQ(mark, 0);
        EXPECT_EQ(paints, 2 * limit);
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
        paints = 0;
        DrawCards();
        EXPECT_EQ(Held(gameSession.hand), expected);
        EXPECT_EQ(paints, 1);
        for (int mark : gameSession.discardMarks)
            EXPECT_EQ(mark, 0);
        EXPECT_EQ(gameSession.awaitingDraw, 0);
        wchar_t name[40];
        EXPECT_EQ(gameSession.wallet, walletBefore + ScoreHand(gameSession.hand, name));
        EXPECT_STREQ(gameSession.statusText, name);
    }
    gameSession.itemWindow = nullptr;
    RefreshItem();
    PumpMessages();
    EXPECT_EQ(paints, 1) << "no window, no repaint";
    gameSession.itemWindow = window;
    RefreshItem();
    EXPECT_EQ(paints, 2) << "repainted before RefreshItem returns";
}

}  // namespace
