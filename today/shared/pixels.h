#pragma once

#include <windows.h>

#include <vector>

// The pixels of a rectangle of a device context, row by row, as 0x00RRGGBB.
std::vector<DWORD> CopyPixels(HDC source, const RECT& rect);
