#pragma once

#include <windows.h>

// Draws the whole row into dc: composed off screen, then one block copy.
void PaintItem(HDC dc);

// The four icon steps: each loads its icon by id and draws it at its own size.
void DrawCardFace(HDC dc, int card, int x, int y);
void DrawCardBack(HDC dc, int x, int y);
void DrawButtonIcon(HDC dc, int x, int y);
void DrawItemIcon(HDC dc, int x, int y);
