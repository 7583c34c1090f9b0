#pragma once

#include <windows.h>

// The item's Tahoma 11 font, regular (FW_NORMAL) or bold (FW_BOLD): the
// row's texts and the paytable are drawn in it.
HFONT CreateItemFont(LONG weight);

// The size of the whole text in the font dc holds.
SIZE MeasureText(HDC dc, const wchar_t* text);
