#include "item_font.h"

#include <wchar.h>

HFONT CreateItemFont(LONG weight)
{
    LOGFONTW font = {};
    font.lfHeight = 11;  // positive: an 11-pixel cell, leading included, for the 20-pixel row
    font.lfWeight = weight;
    font.lfQuality = DRAFT_QUALITY;
    // The device's value: 4 is no LOGFONT pitch or family flag, so the pitch is
    // the default, the family any, and the face name alone picks Tahoma.
    font.lfPitchAndFamily = 4;
    wcscpy(font.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&font);
}

SIZE MeasureText(HDC dc, const wchar_t* text)
{
    SIZE size = {};
    GetTextExtentExPointW(dc, text, lstrlenW(text), 0, nullptr, nullptr, &size);
    return size;
}
