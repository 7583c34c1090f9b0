#include <gtest/gtest.h>

#include <vector>
#include <wchar.h>

#include "cards/card.h"
#include "cards/evaluate.h"
#include "item/game.h"
#include "item/game_session.h"
#include "tests/support/fixed_clock.h"

namespace {

int paints = 0;

LRESULT CALLBACK CountingWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        ++paints;
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

std::vector<int> Held()
{
    return std::vector<int>(gameSession.hand.cards, gameSession.hand.cards + gameSession.hand.count);
}

// A visible top-level window for the whole program: destroying one costs
// Wine two seconds under a bare X server, while child windows come and go
// at once.
HWND HostWindow()
{
    static HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 40, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    return host;
}

// A real row window that counts its repaints, and a session as a fresh
// item leaves it before its first deal.
class GamePlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = CountingWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"GameTestRow";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, L"GameTestRow", L"row", WS_CHILD | WS_VISIBLE, 0, 0, 240, 20, HostWindow(),
                                 nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(window);
        UpdateWindow(window);
        PumpMessages();
        paints = 0;

        gameSession.itemWindow = window;
        gameSession.wallet = 100;
        gameSession.fiveDiscards = 0;
        gameSession.awaitingDraw = 0;
        for (int& mark : gameSession.discardMarks)
            mark = 0;
    }

    void TearDown() override
    {
        gameSession.itemWindow = nullptr;
        DestroyWindow(window);
    }

    HWND window = nullptr;
};

TEST_F(GamePlay, DealTakesTheBetAndShowsFiveSortedCards)
{
    for (int wallet : {100, 0, -7}) {
        gameSession.wallet = wallet;
        DealHand();
        EXPECT_EQ(gameSession.wallet, wallet - 1);
        EXPECT_EQ(gameSession.awaitingDraw, 1);
        EXPECT_STREQ(gameSession.statusText, L"Discard");
        const std::vector<int> cards = Held();
        ASSERT_EQ(cards.size(), 5u);
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(cards[i] >= 1 && cards[i] <= 52);
            if (i > 0) {
                EXPECT_LE(CardRank(cards[i - 1]), CardRank(cards[i]));
            }
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

TEST_F(GamePlay, MarksStopAtTheDiscardLimitAndUnmarkingIsAlwaysAllowed)
{
    struct Case {
        int fiveDiscards;
        int limit;
    };
    for (const Case& c : {Case{0, 3}, Case{1, 5}, Case{7, 5}}) {
        gameSession.fiveDiscards = c.fiveDiscards;
        DealHand();
        paints = 0;
        for (int position = 0; position < 5; ++position) {
            ToggleDiscardMark(position);
            const int expected = position < c.limit ? 1 : 0;
            EXPECT_EQ(gameSession.discardMarks[position], expected) << position;
            EXPECT_EQ(paints, position < c.limit ? position + 1 : c.limit) << "a refused mark does not repaint";
        }
        for (int position = 0; position < c.limit; ++position)
            ToggleDiscardMark(position);
        for (int mark : gameSession.discardMarks)
            EXPECT_EQ(mark, 0);
        EXPECT_EQ(paints, 2 * c.limit);
    }
}

TEST_F(GamePlay, MarksAboveALoweredLimitStayAndBlockNewOnes)
{
    gameSession.fiveDiscards = 1;
    DealHand();
    for (int position = 0; position < 4; ++position)
        ToggleDiscardMark(position);
    gameSession.fiveDiscards = 0;
    ToggleDiscardMark(4);
    EXPECT_EQ(gameSession.discardMarks[4], 0);
    ToggleDiscardMark(0);
    EXPECT_EQ(gameSession.discardMarks[0], 0);
    ToggleDiscardMark(4);
    EXPECT_EQ(gameSession.discardMarks[4], 0) << "still three marked";
    ToggleDiscardMark(1);
    ToggleDiscardMark(4);
    EXPECT_EQ(gameSession.discardMarks[4], 1);
}

TEST_F(GamePlay, DrawKeepsTheKeptCardsInOrderAndAppendsTheNewOnes)
{
    struct Case {
        std::vector<int> marked;
    };
    const Case cases[] = {{{}}, {{1, 3}}, {{0}}, {{4}}, {{0, 1, 2, 3, 4}}};
    FixedClock clock(2026, 12, 13, 14, 25, 36);
    for (const Case& c : cases) {
        gameSession.fiveDiscards = 1;
        DealHand();
        const std::vector<int> dealt = Held();
        std::vector<int> expected;
        for (int position = 0; position < 5; ++position) {
            bool marked = false;
            for (int m : c.marked)
                marked = marked || m == position;
            if (!marked)
                expected.push_back(dealt[position]);
        }
        // The replacements are the deck's next cards, in the order dealt.
        for (size_t i = 0; i < c.marked.size(); ++i)
            expected.push_back(gameSession.deck.cards[5 + i]);
        for (int position : c.marked)
            ToggleDiscardMark(position);

        const int walletBefore = gameSession.wallet;
        paints = 0;
        DrawCards();
        EXPECT_EQ(Held(), expected);
        EXPECT_EQ(paints, 1);
        for (int mark : gameSession.discardMarks)
            EXPECT_EQ(mark, 0);
        EXPECT_EQ(gameSession.awaitingDraw, 0);

        wchar_t name[40];
        const int payout = ScoreHand(gameSession.hand, name);
        EXPECT_STREQ(gameSession.statusText, name);
        EXPECT_EQ(gameSession.wallet, walletBefore + payout);
    }
}

TEST_F(GamePlay, RefreshWithoutAWindowRepaintsNothing)
{
    gameSession.itemWindow = nullptr;
    RefreshItem();
    PumpMessages();
    EXPECT_EQ(paints, 0);
    gameSession.itemWindow = window;
    RefreshItem();
    EXPECT_EQ(paints, 1) << "repainted before RefreshItem returns";
}

}  // namespace
