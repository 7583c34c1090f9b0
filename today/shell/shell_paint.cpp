#include "shell_paint.h"

#include <wchar.h>

#include "device/chrome/chrome.h"
#include "device/device_screen.h"

namespace {

void PaintTitle(HDC dc, const SYSTEMTIME& now)
{
    wchar_t clock[16];
    swprintf(clock, 16, L"%d:%02d", now.wHour, now.wMinute);
    PaintTitleBar(dc, {0, 0, kDeviceScreenWidth, kTitleBarHeight}, L"Start", clock);
}

void PaintDateRow(HDC dc, const SYSTEMTIME& now)
{
    static const wchar_t* const kDays[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                           L"Thursday", L"Friday", L"Saturday"};
    static const wchar_t* const kMonths[] = {L"January",   L"February", L"March",    L"April",
                                             L"May",       L"June",     L"July",     L"August",
                                             L"September", L"October",  L"November", L"December"};
    wchar_t date[64];
    swprintf(date, 64, L"%ls, %ls %d, %d", kDays[now.wDayOfWeek % 7], kMonths[(now.wMonth + 11) % 12], now.wDay,
             now.wYear);
    FillColor(dc, {5, kTitleBarHeight + 4, 17, kTitleBarHeight + 16}, RGB(0, 96, 192));
    FillColor(dc, {6, kTitleBarHeight + 7, 16, kTitleBarHeight + 15}, RGB(255, 255, 255));
    DrawChromeText(dc, date, {24, kTitleBarHeight, kDeviceScreenWidth, kFirstItemTop}, kThemeTextColor, 11, FW_BOLD,
                   DT_LEFT);
}

}  // namespace

void PaintWatermark(HDC dc, const RECT& rect, POINT origin)
{
    // A soft vertical blend with a faint band every eighth line, placed by
    // the screen's own coordinates so that every row lines up with it.
    for (int y = rect.top; y < rect.bottom; ++y) {
        const int screenY = y + origin.y;
        const int shade = 255 - (screenY * 56) / kDeviceScreenHeight;
        const int green = shade + 4 > 255 ? 255 : shade + 4;
        const COLORREF color = screenY % 8 == 0 ? RGB(shade - 12, shade - 6, 255) : RGB(shade, green, 255);
        FillColor(dc, {rect.left, y, rect.right, y + 1}, color);
    }
}

void PaintShell(HDC dc, const SYSTEMTIME& now)
{
    PaintTitle(dc, now);
    PaintWatermark(dc, {0, kTitleBarHeight, kDeviceScreenWidth, kDeviceScreenHeight - kMenuBarHeight}, {0, 0});
    PaintDateRow(dc, now);
    const RECT menuBar = {0, kDeviceScreenHeight - kMenuBarHeight, kDeviceScreenWidth, kDeviceScreenHeight};
    PaintMenuBar(dc, menuBar, nullptr);
    // The device has nothing to make new things with: "New" is drawn as a
    // menu that is not available, and a tap on it does nothing.
    DrawChromeText(dc, L"New", {8, menuBar.top, 60, menuBar.bottom}, RGB(160, 160, 160), 12, FW_BOLD, DT_LEFT);
}
