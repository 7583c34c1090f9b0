#include <gtest/gtest.h>

#include <vector>

#include "item/game_session.h"
#include "item/item_font.h"
#include "options/open_dialog.h"
#include "options/scoring_dialog.h"
#include "resources/resource.h"
#include "tests/support/canvas.h"
#include "tests/support/timer_script.h"
#include "tests/support/today_stub.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kPage = RGB(10, 20, 30);

// The columns from left to right (exclusive) with dark ink in the band of rows.
std::vector<int> InkColumns(const Canvas& page, int left, int right, int top, int bottom)
{
    std::vector<int> columns;
    for (int x = left; x < right && x < page.width; ++x)
        for (int y = top; y < bottom; ++y)
            if (GetGValue(page.At(x, y)) < 160) {
                columns.push_back(x - left);
                break;
            }
    return columns;
}

// The columns of ink of a text drawn whole, unclipped, in the item's font.
std::vector<int> WholeTextColumns(const wchar_t* text)
{
    Canvas whole(120, 20);
    whole.Fill(kWhite);
    HFONT font = CreateItemFont(FW_NORMAL);
    HGDIOBJ kept = SelectObject(whole.dc, font);
    TextOutW(whole.dc, 1, 0, text, lstrlenW(text));
    SelectObject(whole.dc, kept);
    DeleteObject(font);
    return InkColumns(whole, 0, whole.width, 0, whole.height);
}

TEST(Paytable, PlacesItsSixteenTextsFromTheClientWidth)
{
    const wchar_t* const texts[4][4] = {
        {L"Royal Flush", L"250", L"Flush", L"5"},
        {L"Straight Flush", L"50", L"Straight", L"4"},
        {L"Four of a Kind", L"20", L"Three of a Kind", L"3"},
        {L"Full House", L"7", L"Two Pair", L"2"},
    };
    for (int width : {240, 239}) {
        Canvas page(width, 294);
        page.Fill(kPage);
        PaintPaytable(page.dc, {0, 0, width, 294});
        EXPECT_EQ(GetBkMode(page.dc), TRANSPARENT);
        EXPECT_EQ(GetTextColor(page.dc), RGB(0, 0, 0)) << "a fresh context's own colour, restored";

        // The box: a black frame from (2, 40), white inside, 150 above the bottom.
        EXPECT_EQ(page.At(2, 40), kBlack);
        EXPECT_EQ(page.At(width - 3, 294 - 151), kBlack);
        EXPECT_EQ(page.At(width - 2, 60), kPage);
        EXPECT_EQ(page.At(4, 41), kWhite);

        // Measured the way a reader would: the widest of the payouts' field.
        HFONT font = CreateItemFont(FW_NORMAL);
        HGDIOBJ kept = SelectObject(page.dc, font);
        SIZE eights;
        GetTextExtentPoint32W(page.dc, L"888", 3, &eights);
        SelectObject(page.dc, kept);
        DeleteObject(font);
        const int mid = width / 2;
        const int columns[4] = {5, mid - eights.cx - 3, mid + 3, width - 2 - eights.cx - 3};
        for (int row = 0; row < 4; ++row) {
            const int top = 43 + row * (eights.cy + 1);
            for (int column = 0; column < 4; ++column) {
                // At its column, and whole: Wine's Tahoma inks past its measured width.
                const int right = column == 3 ? width - 3 : column == 1 ? mid + 2 : columns[column + 1] - 2;
                EXPECT_EQ(InkColumns(page, columns[column] - 1, right, top + 2, top + 2 + eights.cy),
                          WholeTextColumns(texts[row][column]))
                    << width << ": " << texts[row][column];
            }
        }
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
    EXPECT_EQ(OpenItemDialog(IDD_SCORING, ScoringDlgProc, today_stub::Window()), 1);
    EXPECT_TRUE(script.Finished());
}

}  // namespace
