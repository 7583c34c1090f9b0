#pragma once

#include <windows.h>

// Draws the whole row into dc: composed off screen, then one block copy.
void PaintItem(HDC dc);

// Releases the icons the row's paints have loaded and kept.
void ReleaseRowIcons();

// The four icon steps: each draws its icon by id at its own size.
void DrawCardFace(HDC dc, int card, int x, int y);
void DrawCardBack(HDC dc, int x, int y);
void DrawButtonIcon(HDC dc, int x, int y);
void DrawItemIcon(HDC dc, int x, int y);
