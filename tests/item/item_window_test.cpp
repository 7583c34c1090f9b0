#include <gtest/gtest.h>

#include "game/game.h"
#include "game/game_session.h"
#include "item/item.h"
#include "item/item_state.h"
#include "tests/support/canvas.h"
#include "tests/support/timer_script.h"
#include "tests/support/today_stub.h"

namespace {

class ItemWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        itemState.themedShell = DetectThemedShell();
        row = today_stub::InitializeItem(&record);
        ASSERT_TRUE(row);
        today_stub::PumpMessages();
        today_stub::colorQueries = 0;
    }
    // Each paint of a themed row asks the Today screen for its colour twice.
    int Paints() const { return today_stub::colorQueries / 2; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageW(row, message, wParam, lParam);
    }
    // Sends a message that may open the options dialog over the Today screen;
    // answers how many opened (each closed with OK). Paints while the dialog
    // is up are not the item's: its loop paints whatever the window system
    // has left invalid, which differs from one Wine to the next.
    int SendOpening(UINT message, WPARAM wParam, LPARAM lParam)
    {
        int opened = 0;
        TimerScript script({[&] {
            HWND dialog = OwnedDialog(today_stub::Window());
            opened += dialog != nullptr;
            today_stub::colorQueries = 0;
            return dialog && PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }});
        Send(message, wParam, lParam);
        return opened;
    }

    TODAYLISTITEM record;
    HWND row = nullptr;
};

TEST_F(ItemWindow, InitialisationDealsTheFirstHandAndTheHeightIsReportedOnceAfterIt)
{
    wchar_t className[32];
    GetClassNameW(row, className, 32);
    EXPECT_STREQ(className, L"Tolvane");
    EXPECT_EQ(GetWindowLongW(row, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | WS_POPUP), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(gameSession.cardBackIcon, 153);
    EXPECT_EQ(gameSession.fiveDiscards, 0);
    const WPARAM item = reinterpret_cast<WPARAM>(&record);
    for (int initialisation = 0; initialisation < 2; ++initialisation) {
        EXPECT_EQ(gameSession.wallet, 99);
        EXPECT_EQ(Send(WM_TODAYCUSTOM_QUERYREFRESHCACHE, 0), FALSE) << "no record to write to";
        EXPECT_EQ(Send(WM_TODAYCUSTOM_QUERYREFRESHCACHE, item), TRUE);
        EXPECT_EQ(record.cyp, 20u);
        record.cyp = 77;
        EXPECT_EQ(Send(WM_TODAYCUSTOM_QUERYREFRESHCACHE, item), FALSE);
        EXPECT_EQ(record.cyp, 77u);
        gameSession.wallet = 42;
        TODAYLISTITEM disabled;
        EXPECT_EQ(today_stub::InitializeItem(&disabled, FALSE), nullptr);
        EXPECT_EQ(gameSession.wallet, 42) << "a disabled record changes nothing";
        row = today_stub::InitializeItem(&record);
    }
}

TEST_F(ItemWindow, TheOptionsCommandOpensTheOptionsOtherMessagesLeaveTheRowAlone)
{
    EXPECT_EQ(SendOpening(WM_COMMAND, MAKEWPARAM(301, BN_CLICKED), 0), 1);
    Send(WM_CLOSE);
    EXPECT_TRUE(IsWindow(row)) << "the Today screen ends its rows";
    Canvas background(4, 4);
    background.Fill(RGB(1, 2, 3));
    Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(background.dc));
    EXPECT_EQ(background.At(0, 0), RGB(1, 2, 3)) << "no erasing: the paint covers the whole row";
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(135, 10)), 0);
    EXPECT_EQ(gameSession.awaitingDraw, 1);
    EXPECT_EQ(Paints(), 0);
}

TEST_F(ItemWindow, TapsHitOnlyInsideTheCells)
{
    enum Target { kNone, kOptions, kCard0, kCard1, kCard2, kCard3, kCard4, kButton };
    const struct {
        int x, y;
        Target target;
    } cases[] = {
        {3, 2, kOptions},  {18, 17, kOptions}, {19, 2, kNone},    {2, 10, kNone},   {10, 1, kNone},   {10, 18, kNone},
        {29, 10, kNone},   {30, 10, kCard0},   {45, 17, kCard0},  {46, 10, kNone},  {50, 10, kCard1}, {65, 2, kCard1},
        {70, 10, kCard2},  {86, 10, kNone},    {105, 17, kCard3}, {110, 2, kCard4}, {126, 10, kNone}, {131, 10, kNone},
        {132, 2, kButton}, {147, 17, kButton}, {148, 10, kNone},  {135, 18, kNone}, {135, 1, kNone},  {200, 10, kNone},
    };
    for (const auto& c : cases) {
        row = today_stub::InitializeItem(&record);
        today_stub::colorQueries = 0;
        EXPECT_EQ(SendOpening(WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y)), c.target == kOptions ? 1 : 0)
            << c.x << "," << c.y;
        for (int position = 0; position < 5; ++position)
            EXPECT_EQ(gameSession.discardMarks[position], c.target == kCard0 + position ? 1 : 0) << c.x << "," << c.y;
        EXPECT_EQ(gameSession.awaitingDraw, c.target == kButton ? 0 : 1) << c.x << "," << c.y;
        EXPECT_EQ(Paints(), c.target == kButton ? 2 : c.target >= kCard0) << "the draw's and the tap's own";
    }
    Send(WM_LBUTTONUP, 0, MAKELPARAM(135, 10));  // the draw settles the hand
    today_stub::colorQueries = 0;
    Send(WM_LBUTTONUP, 0, MAKELPARAM(35, 10));
    EXPECT_EQ(gameSession.discardMarks[0], 0) << "a settled hand's cards take no marks";
    EXPECT_EQ(Paints(), 0);
    gameSession.wallet = 0;
    Send(WM_LBUTTONUP, 0, MAKELPARAM(135, 10));
    EXPECT_EQ(gameSession.awaitingDraw, 1) << "the button deals again";
    EXPECT_STREQ(gameSession.statusText, L"Discard");
    EXPECT_EQ(gameSession.wallet, -1) << "the bet is taken from an empty wallet too";
    EXPECT_EQ(Paints(), 1) << "once, by the tap: a deal does not repaint";
}

TEST_F(ItemWindow, RefreshItemRepaintsTheRowBeforeItReturnsAndNothingWithoutOne)
{
    RefreshItem();
    EXPECT_EQ(Paints(), 1) << "repainted before RefreshItem returns";
    ValidateRect(today_stub::Window(), nullptr);
    itemState.itemWindow = nullptr;
    RefreshItem();
    itemState.itemWindow = row;
    EXPECT_FALSE(GetUpdateRect(today_stub::Window(), nullptr, FALSE)) << "a null window would invalidate every window";
}

TEST(ThemedShell, OnlyAPocketPcShellOfVersionThreeOrLaterIsThemed)
{
    const struct {
        const wchar_t *platform, *version;
        int themed;
    } cases[] = {{L"PocketPC", L"3.0", 1}, {L"PocketPC", L"4.20", 1}, {L"PocketPC", L"2.11", 0},
                 {L"pocketpc", L"3.0", 0}, {L"PocketPC2", L"3.0", 0}, {L"Smartphone", L"3.0", 0},
                 {L"desktop", L"5.1", 0}};
    for (const auto& c : cases) {
        SetEnvironmentVariableW(L"TOLVANE_DEVICE_PLATFORM", c.platform);
        SetEnvironmentVariableW(L"TOLVANE_DEVICE_OS_VERSION", c.version);
        EXPECT_EQ(DetectThemedShell(), c.themed) << c.platform << " " << c.version;
    }
    SetEnvironmentVariableW(L"TOLVANE_DEVICE_PLATFORM", nullptr);
    SetEnvironmentVariableW(L"TOLVANE_DEVICE_OS_VERSION", nullptr);
}

}  // namespace
