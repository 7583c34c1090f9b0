#include <gtest/gtest.h>

#include <algorithm>

#include "game/game_session.h"
#include "item/item.h"
#include "item/item_state.h"
#include "item/paint.h"
#include "tests/support/canvas.h"
#include "tests/support/today_stub.h"
#include "today/shell/gdi_headroom.h"

namespace {

const int kWidth = today_stub::kRowWidth;
const int kHeight = 20;

// A host that loads the item's icons the desktop way before the row first
// paints: the shared icon cache then holds each of them at 32x32.
const bool kIconsCachedAtDesktopSize = [] {
    for (WORD id = 101; id <= 210; ++id)
        LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    return true;
}();

// The row's icons in their 16x16 cells from y 2, on the background.
void DrawExpectedIcons(Canvas& row, COLORREF background, const int (&icons)[7])
{
    row.Fill(background);
    const int cells[7] = {3, 30, 50, 70, 90, 110, 132};
    for (int i = 0; i < 7; ++i) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icons[i]), IMAGE_ICON, 16, 16, 0));
        DrawIconEx(row.dc, cells[i], 2, icon, 0, 0, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
}

// Over the whole of actual, which may be the narrower.
::testing::AssertionResult SamePixels(const Canvas& actual, const Canvas& expected)
{
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
            if (actual.At(x, y) != expected.At(x, y))
                return ::testing::AssertionFailure() << "they differ first at " << x << "," << y;
    return ::testing::AssertionSuccess();
}

class RowPainting : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(today_stub::InitializeItem(&record));
        gameSession.hand.Clear();
        for (int card : {1, 14, 27, 40, 52})
            gameSession.hand.AddCard(card);
        for (int& mark : gameSession.discardMarks)
            mark = 0;
        itemState.themedShell = 1;
    }
    void Paint(Canvas& row)
    {
        today_stub::colorQueries = today_stub::watermarkRequests = 0;
        PaintItem(row.dc);
    }

    TODAYLISTITEM record;
};

TEST_F(RowPainting, DrawsEachIconAtItsCellAndTheTextsInTheirPlaces)
{
    // The texts' ink spans the columns from the status's (x 152) to the
    // wallet's, which ends 2 pixels before the row's edge; the letters are
    // the golden screenshots'.
    const struct {
        bool themed;
        int marks[5], awaitingDraw, cardBack;
        const wchar_t* status;
        int wallet;
        int icons[7];
        int inkFrom, inkTo;
    } cases[] = {
        {true, {0, 0, 0, 0, 0}, 1, 153, L"Discard", 99, {209, 101, 114, 127, 140, 152, 210}, 152, 236},
        // A mark of 1 shows the back.
        {true, {0, 1, 0, 2, 1}, 1, 162, L"Discard", 100, {209, 101, 162, 127, 140, 162, 210}, 152, 236},
        {false, {1, 1, 1, 1, 1}, 7, 164, L"Two Pair", -3, {209, 164, 164, 164, 164, 164, 210}, 152, 235},
        {false, {0, 0, 0, 0, 0}, 0, 158, L"", -12345, {209, 101, 114, 127, 140, 152, 208}, 191, 235},
        {true, {1, 0, 0, 0, 0}, 0, 155, L"Nothing!", 0, {209, 155, 114, 127, 140, 152, 208}, 152, 236},
        {true,
         {0, 0, 0, 0, 0},
         0,
         153,
         L"A status reaching the wallet",
         123,
         {209, 101, 114, 127, 140, 152, 208},
         152,
         237},
    };
    for (const auto& c : cases) {
        itemState.themedShell = c.themed;
        for (int i = 0; i < 5; ++i)
            gameSession.discardMarks[i] = c.marks[i];
        gameSession.awaitingDraw = c.awaitingDraw;
        gameSession.cardBackIcon = c.cardBack;
        gameSession.wallet = c.wallet;
        lstrcpyW(gameSession.statusText, c.status);
        Canvas row(kWidth, kHeight), expected(kWidth, kHeight);
        Paint(row);
        const COLORREF ink = c.themed ? today_stub::kTextColor : GetSysColor(COLOR_WINDOWTEXT);
        DrawExpectedIcons(expected, c.themed ? today_stub::kWatermarkColor : GetSysColor(COLOR_WINDOW), c.icons);
        int inkFrom = kWidth, inkTo = 0;
        for (int x = 148; x < kWidth; ++x)
            for (int y = 0; y < kHeight; ++y)
                if (row.At(x, y) == ink) {
                    SetPixel(expected.dc, x, y, ink);
                    inkFrom = std::min(inkFrom, x), inkTo = std::max(inkTo, x);
                }
        EXPECT_TRUE(SamePixels(row, expected)) << c.status << " " << c.wallet;
        EXPECT_EQ(inkFrom, c.inkFrom) << c.status << " " << c.wallet;
        EXPECT_EQ(inkTo, c.inkTo) << c.status << " " << c.wallet;
        // Only a themed row asks the Today screen: its colour twice, its watermark once.
        EXPECT_EQ(today_stub::colorQueries, c.themed ? 2 : 0);
        EXPECT_EQ(today_stub::watermarkRequests, c.themed ? 1 : 0);
    }
}

TEST_F(RowPainting, LeavesNoDrawingObjectBehind)
{
    ASSERT_TRUE(kIconsCachedAtDesktopSize);
    Canvas first(kWidth, kHeight), last(kWidth, kHeight);
    Paint(first);  // what the system makes at a first paint is made before any count
    ReleaseRowIcons();
    const size_t unpainted = GdiHeadroom();
    Paint(first);  // anything the row makes once and keeps is made before the count
    const size_t before = GdiHeadroom();
    ASSERT_GT(before, 10000u);
    for (int paint = 0; paint < 1000; ++paint)
        PaintItem(last.dc);
    EXPECT_EQ(GdiHeadroom(), before);
    EXPECT_TRUE(SamePixels(last, first));
    SendMessageW(itemState.itemWindow, WM_DESTROY, 0, 0);
    EXPECT_EQ(GdiHeadroom(), unpainted) << "what the paints kept goes with the row's window";
}

// Leaves the stack below the caller full of rectangles the size of a row,
// so that a rectangle read uninitialised there looks like a real one.
__attribute__((noinline)) void FillStackWithRowRectangles()
{
    volatile RECT rects[512];
    for (volatile RECT& rect : rects) {
        rect.left = 0;
        rect.top = 0;
        rect.right = kWidth;
        rect.bottom = kHeight;
    }
}

TEST_F(RowPainting, ARowWhoseWindowIsGoneDrawsNothing)
{
    HWND gone = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    const HWND row = itemState.itemWindow;
    itemState.itemWindow = gone;
    Canvas canvas(kWidth, kHeight), untouched(kWidth, kHeight);
    canvas.Fill(RGB(1, 2, 3));
    untouched.Fill(RGB(1, 2, 3));
    FillStackWithRowRectangles();
    PaintItem(canvas.dc);
    itemState.itemWindow = row;
    EXPECT_TRUE(SamePixels(canvas, untouched));
}

}  // namespace
