#include "item_font.h"

#include <wchar.h>

HFONT CreateItemFont(LONG weight)
{
    LOGFONTW font = {};
    font.lfHeight = 11;
    font.lfWeight = weight;
    font.lfQuality = DRAFT_QUALITY;
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
