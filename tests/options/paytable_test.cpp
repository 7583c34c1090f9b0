#include <gtest/gtest.h>

#include "options/open_dialog.h"
#include "options/scoring_dialog.h"
#include "resources/resource.h"
#include "tests/support/canvas.h"
#include "tests/support/timer_script.h"
#include "tests/support/today_stub.h"

namespace {

// The paytable at the device's width is checked against a golden screenshot
// end to end; here, what follows the width, and the context it leaves.
TEST(Paytable, FollowsTheClientWidthAndLeavesTheContextAsItWas)
{
    Canvas wide(240, 294), narrow(239, 294);
    for (Canvas* page : {&wide, &narrow}) {
        page->Fill(RGB(10, 20, 30));
        SetTextColor(page->dc, RGB(1, 2, 3));
        SetBkColor(page->dc, RGB(4, 5, 6));
        PaintPaytable(page->dc, {0, 0, page->width, 294});
        EXPECT_EQ(GetBkMode(page->dc), TRANSPARENT);
        EXPECT_EQ(GetTextColor(page->dc), RGB(1, 2, 3)) << "restored";
        EXPECT_EQ(GetBkColor(page->dc), RGB(4, 5, 6)) << "restored";
    }
    // The left edge and the names stay; from the payouts of the left half
    // on, all moves one pixel left with the middle and the right edge.
    for (int y = 0; y < 294; ++y) {
        for (int x = 0; x < 90; ++x)
            ASSERT_EQ(narrow.At(x, y), wide.At(x, y)) << x << "," << y;
        for (int x = 96; x < 240; ++x)
            ASSERT_EQ(narrow.At(x - 1, y), wide.At(x, y)) << x << "," << y;
    }
}

TEST(Paytable, OnlyOkEndsItWithResultOne)
{
    ASSERT_TRUE(today_stub::InitializeItem(new TODAYLISTITEM));
    // Other commands first: the dialog must still be there for the last.
    std::vector<std::function<bool()>> steps;
    for (WORD id : {IDCANCEL, 1061, 2000, IDOK})
        steps.push_back([id] {
            HWND dialog = OwnedDialog(today_stub::Window());
            return dialog && PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        });
    TimerScript script(steps);
    EXPECT_EQ(OpenItemDialog(GetModuleHandleW(nullptr), IDD_SCORING, ScoringDlgProc, today_stub::Window()), 1);
    EXPECT_TRUE(script.Finished());
}

}  // namespace
