#include "paint.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "device/include/todaycmn.h"
#include "game/game_session.h"
#include "item_state.h"
#include "options/item_font.h"
#include "resources/resource.h"
#include "row_layout.h"

namespace {

const UINT kRowTextFormat = DT_SINGLELINE | DT_VCENTER;

// The desktop's LoadIconW stretches every icon to 32x32 where CE loads the
// 16x16 image, and the desktop's shared icon cache hands back whichever size
// was loaded first. So each icon is loaded unshared at its cell's size, at
// its first draw, and kept until the row window goes: loading is most of
// what a paint would cost.
HICON RowIcon(int iconId)
{
    const int slot = LOWORD(iconId) - kFirstIconId;
    if (slot < 0 || slot >= kIconSlots)
        return nullptr;  // no icon of the library has this id
    HICON& icon = itemState.icons[slot];
    if (!icon)
        icon = static_cast<HICON>(LoadImageW(itemState.moduleInstance, MAKEINTRESOURCEW(LOWORD(iconId)), IMAGE_ICON,
                                             kCellSize, kCellSize, 0));
    return icon;
}

void DrawIconById(HDC dc, int iconId, int x, int y)
{
    DrawIconEx(dc, x, y, RowIcon(iconId), kCellSize, kCellSize, 0, nullptr, DI_NORMAL);
}

// Fetched anew at every use: from the Today screen when themed.
COLORREF RowTextColor()
{
    if (itemState.themedShell)
        return static_cast<COLORREF>(
            SendMessageW(GetParent(itemState.itemWindow), TODAYM_GETCOLOR, TODAYCOLOR_TEXT, 0));
    return GetSysColor(COLOR_WINDOWTEXT);
}

void PaintBackground(HDC memory)
{
    if (itemState.themedShell) {
        TODAYDRAWWATERMARKINFO watermark = {};
        watermark.hdc = memory;
        watermark.hwnd = itemState.itemWindow;
        GetClientRect(itemState.itemWindow, &watermark.rc);
        SendMessageW(GetParent(itemState.itemWindow), TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&watermark));
        return;
    }
    RECT client;
    GetClientRect(itemState.itemWindow, &client);
    FillRect(memory, &client, GetSysColorBrush(COLOR_WINDOW));
}

// The four icon steps: each loads its icon by id and draws it at its own size.
void DrawCardFace(HDC dc, int card, int x, int y)
{
    DrawIconById(dc, LOWORD(LOWORD(card) + IDI_CARD_FACE_BASE), x, y);
}

void DrawCardBack(HDC dc, int x, int y)
{
    DrawIconById(dc, gameSession.cardBackIcon, x, y);
}

void DrawButtonIcon(HDC dc, int x, int y)
{
    DrawIconById(dc, gameSession.awaitingDraw ? IDI_DRAW_BUTTON : IDI_DEAL_BUTTON, x, y);
}

void DrawItemIcon(HDC dc, int x, int y)
{
    DrawIconById(dc, IDI_ITEM, x, y);
}

void PaintIcons(HDC memory)
{
    DrawItemIcon(memory, kItemIconX, kCellTop);
    for (int position = 0; position < kHandSize; ++position) {
        if (gameSession.discardMarks[position] == 1)
            DrawCardBack(memory, CardX(position), kCellTop);
        else
            DrawCardFace(memory, gameSession.hand.cards[position], CardX(position), kCellTop);
    }
    DrawButtonIcon(memory, kButtonX, kCellTop);
}

void DrawRowText(HDC memory, const wchar_t* text, RECT rect)
{
    SetBkMode(memory, TRANSPARENT);
    DrawTextW(memory, text, -1, &rect, kRowTextFormat);
    SetBkMode(memory, OPAQUE);
}

}  // namespace

void ReleaseRowIcons()
{
    for (HICON& icon : itemState.icons) {
        if (icon)
            DestroyIcon(icon);
        icon = nullptr;
    }
}

void PaintItem(HDC dc)
{
    // A row whose window is gone has no size to paint.
    RECT window;
    if (!GetWindowRect(itemState.itemWindow, &window))
        return;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RowTextColor());
    HDC memory = CreateCompatibleDC(dc);
    SetTextColor(memory, RowTextColor());

    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    HBITMAP row = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ keptBitmap = SelectObject(memory, row);

    PaintBackground(memory);
    PaintIcons(memory);

    HFONT regular = CreateItemFont(FW_NORMAL);
    HGDIOBJ keptFont = SelectObject(memory, regular);
    // Measured on the paint context, which holds its own font rather than the
    // row's: the rectangle's size follows that font, as it does on the device.
    SIZE status = MeasureText(dc, gameSession.statusText);
    DrawRowText(memory, gameSession.statusText, {kStatusTextX, 0, kStatusTextX + status.cx, status.cy + 5});

    HFONT bold = CreateItemFont(FW_BOLD);
    SelectObject(memory, bold);
    wchar_t wallet[kTextUnits];
    memset(wallet, 0, sizeof(wallet));
    // The C runtime's own swprintf, in the device's form with no count ("$"
    // and an int fit the buffer); mingw-w64's swprintf would bring its own
    // formatter of some 20 KB into the DLL.
    _swprintf(wallet, L"$%d", gameSession.wallet);
    SIZE walletSize = MeasureText(dc, wallet);
    // From the row's own width: its screen position would put the wallet
    // outside the bitmap of any row that does not start at screen x 0.
    const int right = width;
    DrawRowText(memory, wallet, {right - walletSize.cx - 2, 0, right - 2, walletSize.cy + 5});

    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);

    SelectObject(memory, keptBitmap);
    DeleteObject(row);
    SelectObject(memory, keptFont);
    DeleteDC(memory);
    SetBkMode(dc, OPAQUE);
    DeleteObject(regular);
    DeleteObject(bold);
}
