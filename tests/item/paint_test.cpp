#include <gtest/gtest.h>

#include <vector>
#include <wchar.h>

#include "item/game_session.h"
#include "item/item.h"
#include "item/item_font.h"
#include "item/paint.h"
#include "tests/support/canvas.h"
#include "tests/support/gdi_headroom.h"
#include "tests/support/today_stub.h"

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

// Whether the row shows iconId at x, over the given background.
::testing::AssertionResult ShowsIcon(const Canvas& row, int iconId, int x, COLORREF background)
{
    Canvas expected(16, 16);
    expected.Fill(background);
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16, 0));
    DrawIconEx(expected.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    for (int dy = 0; dy < 16; ++dy)
        for (int dx = 0; dx < 16; ++dx)
            if (row.At(x + dx, 2 + dy) != expected.At(dx, dy))
                return ::testing::AssertionFailure() << "icon " << iconId << " differs at " << x + dx << "," << 2 + dy;
    return ::testing::AssertionSuccess();
}

// The columns from left to right (exclusive) that hold any pixel of color.
std::vector<int> InkColumns(const Canvas& row, COLORREF color, int left, int right)
{
    std::vector<int> columns;
    for (int x = left; x < right; ++x)
        for (int y = 0; y < row.height; ++y)
            if (row.At(x, y) == color) {
                columns.push_back(x);
                break;
            }
    return columns;
}

class RowPainting : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(today_stub::InitializeItem(&record));
        const int hand[] = {1, 14, 27, 40, 52};
        gameSession.hand.Clear();
        for (int card : hand)
            gameSession.hand.AddCard(card);
        for (int& mark : gameSession.discardMarks)
            mark = 0;
        Themed(true);
    }

    void Themed(bool themed)
    {
        gameSession.themedShell = themed ? 1 : 0;
        background = themed ? today_stub::kWatermarkColor : GetSysColor(COLOR_WINDOW);
        text = themed ? today_stub::kTextColor : GetSysColor(COLOR_WINDOWTEXT);
    }

    void Paint(Canvas& row)
    {
        today_stub::colorQueries = today_stub::watermarkRequests = 0;
        PaintItem(row.dc);
    }

    TODAYLISTITEM record;
    COLORREF background, text;
};

TEST_F(RowPainting, DrawsEachIconAtItsCell)
{
    struct Case {
        int marks[5];
        int awaitingDraw;
        int cardBack;
        int icons[5];
        int button;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0}, 1, 153, {101, 114, 127, 140, 152}, 210},
        {{0, 1, 0, 2, 1}, 1, 162, {101, 162, 127, 140, 162}, 210},  // only a 1 shows the back
        {{1, 1, 1, 1, 1}, 7, 164, {164, 164, 164, 164, 164}, 210},
        {{0, 0, 0, 0, 0}, 0, 158, {101, 114, 127, 140, 152}, 208},
    };
    for (bool themed : {true, false}) {
        Themed(themed);
        for (const Case& c : cases) {
            for (int i = 0; i < 5; ++i)
                gameSession.discardMarks[i] = c.marks[i];
            gameSession.awaitingDraw = c.awaitingDraw;
            gameSession.cardBackIcon = c.cardBack;
            Canvas row(kWidth, kHeight);
            Paint(row);
            EXPECT_TRUE(ShowsIcon(row, 209, 3, background));
            for (int i = 0; i < 5; ++i)
                EXPECT_TRUE(ShowsIcon(row, c.icons[i], 30 + 20 * i, background));
            EXPECT_TRUE(ShowsIcon(row, c.button, 132, background));
            EXPECT_EQ(row.At(0, 0), background);
            EXPECT_EQ(row.At(kWidth - 1, kHeight - 1), background);
            for (int x = 46; x < 50; ++x)  // between two cards
                EXPECT_EQ(row.At(x, 10), background) << x;
            // Only a themed row asks the Today screen: its colour twice, its watermark once.
            EXPECT_EQ(today_stub::colorQueries, themed ? 2 : 0);
            EXPECT_EQ(today_stub::watermarkRequests, themed ? 1 : 0);
        }
    }
}

TEST_F(RowPainting, StatusTextStartsAt152)
{
    for (bool themed : {true, false}) {
        Themed(themed);
        Canvas row(kWidth, kHeight);
        Paint(row);
        std::vector<int> ink = InkColumns(row, text, 148, 200);
        ASSERT_FALSE(ink.empty());
        EXPECT_GE(ink.front(), 152);
        EXPECT_LE(ink.front(), 154);

        gameSession.statusText[0] = 0;
        Paint(row);
        EXPECT_TRUE(InkColumns(row, text, 148, 200).empty()) << "an empty status draws nothing";
        wcscpy(gameSession.statusText, L"Discard");
    }
}

TEST_F(RowPainting, WalletEndsTwoPixelsBeforeTheRowsRightEdge)
{
    // The row sits at screen x 40: the wallet still lands inside the row.
    gameSession.statusText[0] = 0;
    for (int wallet : {99, 100, 0, -3, -12345}) {
        gameSession.wallet = wallet;
        Canvas row(kWidth, kHeight);
        Paint(row);

        // The text as it should read, laid out as the row lays it out: a
        // rectangle as wide as the text measures on the paint context.
        wchar_t expected[40];
        swprintf(expected, 40, L"$%d", wallet);
        SIZE size;
        GetTextExtentPoint32W(row.dc, expected, lstrlenW(expected), &size);
        Canvas reference(kWidth, kHeight);
        reference.Fill(background);
        HFONT bold = CreateItemFont(FW_BOLD);
        HGDIOBJ kept = SelectObject(reference.dc, bold);
        SetTextColor(reference.dc, text);
        SetBkMode(reference.dc, TRANSPARENT);
        RECT rect = {kWidth - 2 - size.cx, 0, kWidth - 2, size.cy + 5};
        DrawTextW(reference.dc, expected, -1, &rect, DT_SINGLELINE | DT_VCENTER);
        SelectObject(reference.dc, kept);
        DeleteObject(bold);

        std::vector<int> ink = InkColumns(row, text, 150, kWidth);
        ASSERT_FALSE(ink.empty()) << wallet;
        EXPECT_LT(ink.back(), kWidth - 2) << wallet;
        EXPECT_EQ(ink, InkColumns(reference, text, 150, kWidth)) << wallet;
        for (int x = 150; x < kWidth; ++x)
            for (int y = 0; y < kHeight; ++y)
                ASSERT_EQ(row.At(x, y), reference.At(x, y)) << wallet << " at " << x << "," << y;
    }
}

TEST_F(RowPainting, TheScreenShowsWhatThePaintDraws)
{
    Canvas painted(kWidth, kHeight);
    Paint(painted);
    HWND row = gameSession.itemWindow;
    RedrawWindow(row, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    // Through the row's own context: the desktop's can still show an older frame.
    Canvas screen(kWidth, kHeight);
    HDC rowDc = GetDC(row);
    BitBlt(screen.dc, 0, 0, kWidth, kHeight, rowDc, 0, 0, SRCCOPY);
    ReleaseDC(row, rowDc);
    for (int x = 0; x < 148; ++x)
        for (int y = 0; y < kHeight; ++y)
            ASSERT_EQ(screen.At(x, y), painted.At(x, y)) << x << "," << y;
}

TEST_F(RowPainting, LeavesNoDrawingObjectBehind)
{
    ASSERT_TRUE(kIconsCachedAtDesktopSize);
    Canvas row(kWidth, kHeight);
    Paint(row);  // anything made once and kept is made before the count
    const size_t before = GdiHeadroom();
    ASSERT_GT(before, 10000u);
    for (int paint = 0; paint < 1000; ++paint)
        PaintItem(row.dc);
    EXPECT_EQ(GdiHeadroom(), before);
    Paint(row);
    EXPECT_TRUE(ShowsIcon(row, 209, 3, background));
    EXPECT_TRUE(ShowsIcon(row, 152, 110, background));
    EXPECT_FALSE(InkColumns(row, text, 152, kWidth).empty());
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
    Canvas canvas(kWidth, kHeight);
    canvas.Fill(RGB(1, 2, 3));
    FillStackWithRowRectangles();
    PaintItem(canvas.dc);
    gameSession.itemWindow = row;
    for (int x = 0; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            ASSERT_EQ(canvas.At(x, y), RGB(1, 2, 3)) << x << "," << y;
}

}  // namespace
