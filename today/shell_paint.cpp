#include "shell_paint.h"

#include <wchar.h>

namespace {

const COLORREF kTitleBarColor = RGB(0, 32, 128);
const COLORREF kMenuBarColor = RGB(214, 211, 206);

HFONT CreateTahoma(int height, int weight)
{
    LOGFONTW font = {};
    font.lfHeight = -height;
    font.lfWeight = weight;
    font.lfQuality = NONANTIALIASED_QUALITY;  // identical pixels from run to run
    wcscpy(font.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&font);
}

void Fill(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void DrawText(HDC dc, const wchar_t* text, RECT rect, COLORREF color, int height, int weight, UINT format)
{
    HFONT font = CreateTahoma(height, weight);
    HGDIOBJ kept = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, text, -1, &rect, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, kept);
    DeleteObject(font);
}

// The Start button's four-pane flag.
void DrawStartFlag(HDC dc, int x, int y)
{
    const COLORREF panes[] = {RGB(255, 64, 0), RGB(0, 176, 0), RGB(0, 128, 255), RGB(255, 200, 0)};
    for (int i = 0; i < 4; ++i) {
        RECT pane = {x + (i % 2) * 7, y + (i / 2) * 7, x + (i % 2) * 7 + 6, y + (i / 2) * 7 + 6};
        Fill(dc, pane, panes[i]);
    }
}

void PaintTitleBar(HDC dc, const SYSTEMTIME& now)
{
    Fill(dc, {0, 0, kScreenWidth, kTitleBarHeight}, kTitleBarColor);
    DrawStartFlag(dc, 5, 6);
    DrawText(dc, L"Start", {24, 0, 90, kTitleBarHeight}, RGB(255, 255, 255), 13, FW_BOLD, DT_LEFT);
    wchar_t clock[16];
    swprintf(clock, 16, L"%d:%02d", now.wHour, now.wMinute);
    DrawText(dc, clock, {150, 0, kScreenWidth - 6, kTitleBarHeight}, RGB(255, 255, 255), 12, FW_NORMAL, DT_RIGHT);
}

void PaintDateRow(HDC dc, const SYSTEMTIME& now)
{
    static const wchar_t* const kDays[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday",
                                           L"Thursday", L"Friday", L"Saturday"};
    static const wchar_t* const kMonths[] = {L"January", L"February", L"March",     L"April",
                                             L"May",     L"June",     L"July",      L"August",
                                             L"September", L"October", L"November", L"December"};
    wchar_t date[64];
    swprintf(date, 64, L"%ls, %ls %d, %d", kDays[now.wDayOfWeek % 7], kMonths[(now.wMonth + 11) % 12], now.wDay,
             now.wYear);
    Fill(dc, {5, kTitleBarHeight + 4, 17, kTitleBarHeight + 16}, RGB(0, 96, 192));
    Fill(dc, {6, kTitleBarHeight + 7, 16, kTitleBarHeight + 15}, RGB(255, 255, 255));
    DrawText(dc, date, {24, kTitleBarHeight, kScreenWidth, kFirstItemTop}, kThemeTextColor, 11, FW_BOLD, DT_LEFT);
}

void PaintMenuBar(HDC dc)
{
    const int top = kScreenHeight - kMenuBarHeight;
    Fill(dc, {0, top, kScreenWidth, kScreenHeight}, kMenuBarColor);
    Fill(dc, {0, top, kScreenWidth, top + 1}, RGB(128, 128, 128));
    DrawText(dc, L"New", {8, top, 60, kScreenHeight}, RGB(0, 0, 0), 12, FW_BOLD, DT_LEFT);
}

}  // namespace

void PaintWatermark(HDC dc, const RECT& rect, POINT origin)
{
    // A soft vertical blend with a faint band every eighth line, placed by
    // the screen's own coordinates so that every row lines up with it.
    for (int y = rect.top; y < rect.bottom; ++y) {
        const int screenY = y + origin.y;
        const int shade = 255 - (screenY * 56) / kScreenHeight;
        const COLORREF color = screenY % 8 == 0 ? RGB(shade - 12, shade - 6, 255) : RGB(shade, shade + 4 > 255 ? 255 : shade + 4, 255);
        Fill(dc, {rect.left, y, rect.right, y + 1}, color);
    }
}

void PaintShell(HDC dc, const SYSTEMTIME& now)
{
    PaintTitleBar(dc, now);
    PaintWatermark(dc, {0, kTitleBarHeight, kScreenWidth, kScreenHeight - kMenuBarHeight}, {0, 0});
    PaintDateRow(dc, now);
    PaintMenuBar(dc);
}
