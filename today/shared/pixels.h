#pragma once

#include <windows.h>

#include <vector>

// A top-down 32-bit picture for dc, whose pixels lie at *bits row by row.
HBITMAP CreatePixelSection(HDC dc, int width, int height, DWORD** bits);

// The pixels of a rectangle of a device context, row by row, as 0x00RRGGBB.
std::vector<DWORD> CopyPixels(HDC source, const RECT& rect);
