#include "row_check.h"

#include <vector>

#include "today/shared/pixels.h"

namespace {

// The row's pixels as its window holds them, covered parts included.
std::vector<DWORD> RowPixels(HWND row, const RECT& client)
{
    HDC window = GetDC(row);
    std::vector<DWORD> copied = CopyPixels(window, client);
    ReleaseDC(row, window);
    return copied;
}

// The part of the row that shows on the screen, in its client coordinates:
// Wine keeps the pixels of a window that others cover, and the item need
// not keep those up to date.
HRGN ShownPart(HWND row, const RECT& client)
{
    HRGN shown = CreateRectRgnIndirect(&client);
    for (HWND above = GetWindow(GetAncestor(row, GA_ROOT), GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        if (!IsWindowVisible(above))
            continue;
        RECT cover;
        GetWindowRect(above, &cover);
        MapWindowPoints(nullptr, row, reinterpret_cast<POINT*>(&cover), 2);
        HRGN covered = CreateRectRgnIndirect(&cover);
        CombineRgn(shown, shown, covered, RGN_DIFF);
        DeleteObject(covered);
    }
    return shown;
}

}  // namespace

bool RowShowsItsPaint(HWND row)
{
    RECT client;
    GetClientRect(row, &client);
    if (!IsWindowVisible(row) || client.right <= 0 || client.bottom <= 0)
        return true;  // a row of height 0 shows nothing
    const std::vector<DWORD> shown = RowPixels(row, client);
    // The item paints only on WM_PAINT, into its own window: so it paints
    // there, now, and the pixels it leaves are its answer.
    RedrawWindow(row, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<DWORD> painted = RowPixels(row, client);
    HRGN visible = ShownPart(row, client);
    bool same = true;
    for (size_t i = 0; i < shown.size() && same; ++i) {
        same = shown[i] == painted[i] ||
               !PtInRegion(visible, static_cast<int>(i % client.right), static_cast<int>(i / client.right));
    }
    DeleteObject(visible);
    return same;
}
