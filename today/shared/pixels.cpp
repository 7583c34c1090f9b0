#include "pixels.h"

HBITMAP CreatePixelSection(HDC dc, int width, int height, DWORD** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), nullptr, 0);
}

std::vector<DWORD> CopyPixels(HDC source, const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    DWORD* pixels = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP picture = CreatePixelSection(memory, width, height, &pixels);
    HGDIOBJ kept = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> copied(pixels, pixels + static_cast<size_t>(width) * height);
    // Wine 10 copies some windows with the unused top byte set (0xFF) and
    // others with it clear: only the colour counts.
    for (DWORD& pixel : copied)
        pixel &= 0x00FFFFFF;
    SelectObject(memory, kept);
    DeleteObject(picture);
    DeleteDC(memory);
    return copied;
}
