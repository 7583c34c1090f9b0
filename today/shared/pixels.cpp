#include "pixels.h"

std::vector<DWORD> CopyPixels(HDC source, const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP picture = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ kept = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    auto pixels = static_cast<const DWORD*>(bits);
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
