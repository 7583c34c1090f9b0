#include "scoring_dialog.h"

#include <string.h>
#include <wchar.h>

#include "device/include/aygshell.h"
#include "game/game_session.h"
#include "item_font.h"
#include "shell_dialog.h"

namespace {

// Not clipped to the measured extent: Wine draws Tahoma up to two pixels
// wider than it measures it, and "Two Pair" would read "Two Pai".
const UINT kPaytableFormat = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;

// Row by row: left name, left payout, right name, right payout. The payouts
// are those ScoreHand pays.
const wchar_t* const kPaytable[4][4] = {
    {L"Royal Flush", L"250", L"Flush", L"5"},
    {L"Straight Flush", L"50", L"Straight", L"4"},
    {L"Four of a Kind", L"20", L"Three of a Kind", L"3"},
    {L"Full House", L"7", L"Two Pair", L"2"},
};

void DrawCell(HDC dc, const wchar_t* text, int x, int y)
{
    wchar_t buffer[kTextUnits];
    memset(buffer, 0, sizeof(buffer));
    wcsncpy(buffer, text, kTextUnits - 1);
    const SIZE size = MeasureText(dc, buffer);
    RECT rect = {x, y, x + size.cx, y + size.cy + 5};
    DrawTextW(dc, buffer, -1, &rect, kPaytableFormat);
}

INT_PTR OnPaint(HWND dialog)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    RECT client;
    GetClientRect(dialog, &client);
    PaintPaytable(dc, client);
    EndPaint(dialog, &ps);
    return 0;
}

INT_PTR OnOk(HWND dialog)
{
    EndDialog(dialog, 1);
    return 1;
}

void InitScoringDialog(HWND dialog)
{
    ShowDialogFullScreen(dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN);
}

}  // namespace

void PaintPaytable(HDC dc, RECT rect)
{
    HFONT font = CreateItemFont(FW_NORMAL);
    HGDIOBJ keptFont = SelectObject(dc, font);
    const int mid = rect.left + (rect.right - rect.left) / 2;
    const SIZE eights = MeasureText(dc, L"888");

    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    HGDIOBJ keptBrush = SelectObject(dc, white);
    const COLORREF keptBackground = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF keptText = SetTextColor(dc, RGB(0, 0, 0));
    HPEN black = CreatePen(PS_SOLID, 0, RGB(0, 0, 0));
    HGDIOBJ keptPen = SelectObject(dc, black);

    Rectangle(dc, rect.left + 2, rect.top + 40, rect.right - 2, rect.bottom - 150);
    SetBkMode(dc, TRANSPARENT);

    const int columns[4] = {rect.left + 5, mid - eights.cx - 3, mid + 3, (rect.right - 2) - eights.cx - 3};
    int top = rect.top + 43;
    for (const auto& row : kPaytable) {
        for (int column = 0; column < 4; ++column)
            DrawCell(dc, row[column], columns[column], top);
        top += eights.cy + 1;
    }

    SelectObject(dc, keptPen);
    SelectObject(dc, keptBrush);
    SetBkColor(dc, keptBackground);
    SetTextColor(dc, keptText);
    SelectObject(dc, keptFont);
    DeleteObject(black);
    DeleteObject(white);
    DeleteObject(font);
}

INT_PTR CALLBACK ScoringDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitScoringDialog(dialog);
        return 1;
    case WM_PAINT:
        return OnPaint(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            return OnOk(dialog);
        return DefWindowProcW(dialog, message, wParam, lParam);
    case WM_CLOSE:
        // Ends the paytable as its ok does: DefWindowProcW would destroy it
        // without ending its modal loop, leaving its owner disabled.
        return OnOk(dialog);
    default:
        // Here and for other commands: DefWindowProcW's answer rather than
        // FALSE, as the device's dialogs give; a nonzero one counts as handled.
        return DefWindowProcW(dialog, message, wParam, lParam);
    }
}
