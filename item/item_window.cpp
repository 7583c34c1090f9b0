#include <windows.h>
#include <string.h>

#include "game/game.h"
#include "game/game_session.h"
#include "item.h"
#include "item_state.h"
#include "options/open_dialog.h"
#include "options/options_dialog.h"
#include "options/settings.h"
#include "paint.h"
#include "resources/resource.h"
#include "row_layout.h"

namespace {

const wchar_t kClassName[] = L"Tolvane";
// The command that opens the options dialog, as the icon does.
const WORD kOptionsCommand = 301;

LRESULT CALLBACK ItemWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterItemClass()
{
    UnregisterClassW(kClassName, itemState.moduleInstance);
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ItemWndProc;
    wc.hInstance = itemState.moduleInstance;
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
}

void ResetGame()
{
    for (int& mark : gameSession.discardMarks)
        mark = 0;
    memset(gameSession.statusText, 0, sizeof(gameSession.statusText));
    gameSession.wallet = kFullWallet;
    gameSession.cardBackIcon = IDI_FIRST_CARD_BACK;
    gameSession.fiveDiscards = 0;
}

void OpenOptions()
{
    OpenItemDialog(itemState.moduleInstance, IDD_OPTIONS, OptionsDlgProc, GetParent(itemState.itemWindow));
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintItem(dc);
    EndPaint(window, &ps);
    return 0;
}

// The row goes with its window, and the icons its paints kept with it.
LRESULT OnDestroy()
{
    ReleaseRowIcons();
    return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != kOptionsCommand)
        return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
    OpenOptions();
    return 0;
}

// A stylus tap at a point of the row, in client coordinates.
void HandleItemTap(WORD x, WORD y)
{
    // No return, as on the device: the cells below never hold this point. No
    // repaint either: the closing dialog uncovers the row, which repaints.
    if (InCell(kItemIconX, x, y))
        OpenOptions();
    for (int position = 0; position < kHandSize; ++position) {
        if (InCell(CardX(position), x, y) && gameSession.awaitingDraw) {
            ToggleDiscardMark(position);
            return;
        }
    }
    if (!InCell(kButtonX, x, y))
        return;
    if (gameSession.awaitingDraw)
        DrawCards();
    else
        DealHand();
    // DealHand leaves the repaint to its caller; after DrawCards, which has
    // repainted already, this second one repeats it, as the device does.
    RefreshItem();
}

LRESULT OnLButtonUp(LPARAM lParam)
{
    HandleItemTap(LOWORD(lParam), HIWORD(lParam));
    return 0;
}

// The height is reported once after each initialisation; after that the
// item repaints itself and never asks for a refresh.
LRESULT OnQueryRefreshCache(TODAYLISTITEM* item)
{
    if (!itemState.heightPending || !item)
        return FALSE;
    itemState.heightPending = 0;
    item->cyp = kItemHeight;
    return TRUE;
}

LRESULT CALLBACK ItemWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        return OnPaint(window);
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(lParam);
    case WM_TODAYCUSTOM_QUERYREFRESHCACHE:
        return OnQueryRefreshCache(reinterpret_cast<TODAYLISTITEM*>(wParam));
    case WM_DESTROY:
        return OnDestroy();
    case WM_CLOSE:
    case WM_QUIT:
    case WM_ERASEBKGND:  // the paint covers the whole row
    case WM_TIMER:
    case WM_TODAYCUSTOM_CLEARCACHE:
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void RefreshItem()
{
    // A null window would invalidate every window of the desktop.
    if (!itemState.itemWindow)
        return;
    InvalidateRect(itemState.itemWindow, nullptr, TRUE);
    UpdateWindow(itemState.itemWindow);
}

HWND WINAPI InitializeCustomItem(TODAYLISTITEM* item, HWND parent)
{
    if (!item->fEnabled)
        return nullptr;
    itemState.moduleInstance = item->hinstDLL;
    RegisterItemClass();
    itemState.heightPending = 1;
    // Empty and at 0x1001F, far outside the parent, as on the device: nothing
    // shows until the Today screen, whose business it is, places and sizes it.
    itemState.itemWindow = CreateWindowExW(0, kClassName, kClassName, WS_CHILD | WS_VISIBLE, 0x1001F, 0x1001F, 0, 0,
                                           parent, nullptr, itemState.moduleInstance, nullptr);
    ResetGame();
    LoadSettings();
    DealHand();
    return itemState.itemWindow;
}
