#pragma once

#include <windows.h>

#include "device/chrome/chrome.h"

// The look of the emulated Today screen: the whole of the device's screen,
// with a title bar (Start and the clock), the date row, the item rows over
// the watermark, and a menu bar.
const int kDateRowHeight = 20;
const int kFirstItemTop = kTitleBarHeight + kDateRowHeight;

// The theme's text colour, which the Today screen gives its items.
const COLORREF kThemeTextColor = RGB(0, 0, 64);

// Paints the whole Today screen except the item rows into dc.
void PaintShell(HDC dc, const SYSTEMTIME& now);

// Paints the watermark over rect, where rect is given in a window whose
// top-left corner lies at origin in the Today screen.
void PaintWatermark(HDC dc, const RECT& rect, POINT origin);
