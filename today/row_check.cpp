#include "row_check.h"

#include <vector>

namespace {

// The row's pixels as its window holds them, covered parts included.
std::vector<DWORD> RowPixels(HWND row, const RECT& client)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC window = GetDC(row);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP picture = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ kept = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, client.right, client.bottom, window, 0, 0, SRCCOPY);
    GdiFlush();
    auto pixels = static_cast<const DWORD*>(bits);
    std::vector<DWORD> copied(pixels, pixels + static_cast<size_t>(client.right) * client.bottom);
    SelectObject(memory, kept);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(row, window);
    return copied;
}

// The part of the row that shows on the screen, in its client coordinates:
// Wine keeps the pixels of a window that others cover, and the item need
// not keep those up to date.
HRGN ShownPart(HWND row, const RECT& client)
{
    HRGN shown = CreateRectRgnIndirect(&client);
    for (HWND above = GetWindow(GetAncestor(row, GA_ROOT), GW_HWNDPREV); above;
         above = GetWindow(above, GW_HWNDPREV)) {
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
