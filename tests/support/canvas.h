#pragma once

#include <windows.h>

#include "today/shared/pixels.h"

// A 32-bit picture with a memory context to draw into and read back from.
struct Canvas {
    Canvas(int width, int height) : width(width), height(height)
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreatePixelSection(dc, width, height, &bits);
        kept = SelectObject(dc, bitmap);
    }
    ~Canvas()
    {
        SelectObject(dc, kept);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(COLORREF color)
    {
        HBRUSH brush = CreateSolidBrush(color);
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        DWORD pixel = bits[y * width + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

    int width, height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ kept;
    DWORD* bits = nullptr;
};
