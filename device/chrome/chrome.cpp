#include "chrome.h"

namespace {

const COLORREF kTitleBarColor = RGB(0, 32, 128);
const COLORREF kMenuBarColor = RGB(214, 211, 206);

// The Start button's four-pane flag.
void DrawStartFlag(HDC dc, int x, int y)
{
    const COLORREF panes[] = {RGB(255, 64, 0), RGB(0, 176, 0), RGB(0, 128, 255), RGB(255, 200, 0)};
    for (int i = 0; i < 4; ++i) {
        const int left = x + (i % 2) * 7;
        const int top = y + (i / 2) * 7;
        FillColor(dc, {left, top, left + 6, top + 6}, panes[i]);
    }
}

// Tahoma of a pixel height and weight, drawn without smoothing so that the
// same screen gives the same pixels every time.
HFONT CreateChromeFont(int height, int weight)
{
    LOGFONTW font = {};
    font.lfHeight = -height;
    font.lfWeight = weight;
    font.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpyW(font.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&font);
}

}  // namespace

void FillColor(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void DrawChromeText(HDC dc, const wchar_t* text, RECT rect, COLORREF color, int height, int weight, UINT align)
{
    HFONT font = CreateChromeFont(height, weight);
    HGDIOBJ kept = SelectObject(dc, font);
    const int keptMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF keptColor = SetTextColor(dc, color);
    DrawTextW(dc, text, -1, &rect, align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, keptColor);
    SetBkMode(dc, keptMode);
    SelectObject(dc, kept);
    DeleteObject(font);
}

void PaintTitleBar(HDC dc, const RECT& rect, const wchar_t* title, const wchar_t* right)
{
    FillColor(dc, rect, kTitleBarColor);
    DrawStartFlag(dc, rect.left + 5, rect.top + 6);
    DrawChromeText(dc, title, {rect.left + 24, rect.top, rect.right - 60, rect.bottom}, RGB(255, 255, 255), 13, FW_BOLD,
                   DT_LEFT);
    if (right)
        DrawChromeText(dc, right, {rect.right - 90, rect.top, rect.right - 6, rect.bottom}, RGB(255, 255, 255), 12,
                       FW_NORMAL, DT_RIGHT);
}

void PaintMenuBar(HDC dc, const RECT& rect, const wchar_t* label)
{
    FillColor(dc, rect, kMenuBarColor);
    FillColor(dc, {rect.left, rect.top, rect.right, rect.top + 1}, RGB(128, 128, 128));
    if (label)
        DrawChromeText(dc, label, {rect.left + 8, rect.top, rect.left + 60, rect.bottom}, RGB(0, 0, 0), 12, FW_BOLD,
                       DT_LEFT);
}
