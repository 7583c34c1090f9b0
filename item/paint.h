#pragma once

#include <windows.h>

// Draws the whole row into dc: composed off screen, then one block copy.
void PaintItem(HDC dc);

// Releases the icons the row's paints have loaded and kept.
void ReleaseRowIcons();
