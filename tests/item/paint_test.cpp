#include <gtest/gtest.h>

#include <wchar.h>

#include "item/game_session.h"
#include "item/item.h"
#include "item/item_font.h"
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

// Draws text into its row rectangle in font, which it then deletes.
void DrawRowText(HDC dc, const wchar_t* text, int left, int right, HFONT font, SIZE measured)
{
    HGDIOBJ kept = SelectObject(dc, font);
    RECT rect = {left, 0, right, measured.cy + 5};
    DrawTextW(dc, text, -1, &rect, DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, kept);
    DeleteObject(font);
}

// The row as the device shows it, drawn from its layout: the seven icons in
// their 16x16 cells from y 2, the status in Tahoma from x 152, the wallet in
// bold ending 2 pixels before the row's right edge. Each text's rectangle
// is as wide as the text measures in the paint context's own font.
void DrawExpectedRow(Canvas& row, COLORREF background, COLORREF text, const int (&icons)[7], int wallet)
{
    row.Fill(background);
    const int cells[7] = {3, 30, 50, 70, 90, 110, 132};
    for (int i = 0; i < 7; ++i) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icons[i]), IMAGE_ICON, 16, 16, 0));
        DrawIconEx(row.dc, cells[i], 2, icon, 0, 0, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
    wchar_t money[16];
    swprintf(money, 16, L"$%d", wallet);
    SIZE status, amount;
    GetTextExtentPoint32W(row.dc, gameSession.statusText, lstrlenW(gameSession.statusText), &status);
    GetTextExtentPoint32W(row.dc, money, lstrlenW(money), &amount);
    SetTextColor(row.dc, text);
    SetBkMode(row.dc, TRANSPARENT);
    DrawRowText(row.dc, gameSession.statusText, 152, 152 + status.cx, CreateItemFont(FW_NORMAL), status);
    DrawRowText(row.dc, money, kWidth - 2 - amount.cx, kWidth - 2, CreateItemFont(FW_BOLD), amount);
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
        gameSession.themedShell = 1;
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
    const struct {
        bool themed;
        int marks[5], awaitingDraw, cardBack;
        const wchar_t* status;
        int wallet;
        int icons[7];
    } cases[] = {
        {true, {0, 0, 0, 0, 0}, 1, 153, L"Discard", 99, {209, 101, 114, 127, 140, 152, 210}},
        {true, {0, 1, 0, 2, 1}, 1, 162, L"Discard", 100, {209, 101, 162, 127, 140, 162, 210}},  // a 1 shows the back
        {false, {1, 1, 1, 1, 1}, 7, 164, L"Two Pair", -3, {209, 164, 164, 164, 164, 164, 210}},
        {false, {0, 0, 0, 0, 0}, 0, 158, L"", -12345, {209, 101, 114, 127, 140, 152, 208}},
        {true, {1, 0, 0, 0, 0}, 0, 155, L"Nothing!", 0, {209, 155, 114, 127, 140, 152, 208}},
        {true, {0, 0, 0, 0, 0}, 0, 153, L"A status reaching the wallet", 123, {209, 101, 114, 127, 140, 152, 208}},
    };
    for (const auto& c : cases) {
        gameSession.themedShell = c.themed;
        for (int i = 0; i < 5; ++i)
            gameSession.discardMarks[i] = c.marks[i];
        gameSession.awaitingDraw = c.awaitingDraw;
        gameSession.cardBackIcon = c.cardBack;
        gameSession.wallet = c.wallet;
        lstrcpyW(gameSession.statusText, c.status);
        Canvas row(kWidth, kHeight), expected(kWidth, kHeight);
        Paint(row);
        DrawExpectedRow(expected, c.themed ? today_stub::kWatermarkColor : GetSysColor(COLOR_WINDOW),
                        c.themed ? today_stub::kTextColor : GetSysColor(COLOR_WINDOWTEXT), c.icons, c.wallet);
        EXPECT_TRUE(SamePixels(row, expected)) << c.status << " " << c.wallet;
        // Only a themed row asks the Today screen: its colour twice, its watermark once.
        EXPECT_EQ(today_stub::colorQueries, c.themed ? 2 : 0);
        EXPECT_EQ(today_stub::watermarkRequests, c.themed ? 1 : 0);
    }
}

TEST_F(RowPainting, TheScreenShowsWhatThePaintDraws)
{
    Canvas painted(kWidth, kHeight);
    Paint(painted);
    HWND row = gameSession.itemWindow;
    RedrawWindow(row, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    // Through the row's own context: the desktop's can still show an older
    // frame. Up to the texts only: once a virtual desktop has run in the
    // session, Wine takes the screen for 240x320, which cuts the row (at
    // screen x 40) at its x 200.
    Canvas screen(148, kHeight);
    HDC rowDc = GetDC(row);
    BitBlt(screen.dc, 0, 0, kWidth, kHeight, rowDc, 0, 0, SRCCOPY);
    ReleaseDC(row, rowDc);
    EXPECT_TRUE(SamePixels(screen, painted));
}

TEST_F(RowPainting, LeavesNoDrawingObjectBehind)
{
    ASSERT_TRUE(kIconsCachedAtDesktopSize);
    Canvas first(kWidth, kHeight), last(kWidth, kHeight);
    Paint(first);  // anything made once and kept is made before the count
    const size_t before = GdiHeadroom();
    ASSERT_GT(before, 10000u);
    for (int paint = 0; paint < 1000; ++paint)
        PaintItem(last.dc);
    EXPECT_EQ(GdiHeadroom(), before);
    EXPECT_TRUE(SamePixels(last, first));
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
    const HWND row = gameSession.itemWindow;
    gameSession.itemWindow = gone;
    Canvas canvas(kWidth, kHeight), untouched(kWidth, kHeight);
    canvas.Fill(RGB(1, 2, 3));
    untouched.Fill(RGB(1, 2, 3));
    FillStackWithRowRectangles();
    PaintItem(canvas.dc);
    gameSession.itemWindow = row;
    EXPECT_TRUE(SamePixels(canvas, untouched));
}

}  // namespace
