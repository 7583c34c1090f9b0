#pragma once

#include <windows.h>

// The paytable dialog, template 501: the eight paying hands, full screen.
INT_PTR CALLBACK ScoringDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Draws the paytable into dc for a client area of rect; dc keeps its
// objects and colours, and is left with a transparent background mode.
void PaintPaytable(HDC dc, RECT rect);
