#pragma once

#include <windows.h>

// The Pocket PC's own bars, shared by the Today screen and the shell
// library's full-screen dialogs: a title bar across the top of the screen
// and a menu bar across the bottom.
const int kTitleBarHeight = 26;
const int kMenuBarHeight = 26;
// The title bar's Start flag and title, which a tap on the Today screen
// opens the Start menu from.
const RECT kStartButton = {0, 0, 70, kTitleBarHeight};

// The class of the title bar that the shell library puts over a full-screen
// dialog, owned by the dialog; the device's rules look for it.
const wchar_t kDoneBarClassName[] = L"TolvaneDoneBar";

// The title bar over rect: the Start flag, the title, and an optional text
// at the right (the clock).
void PaintTitleBar(HDC dc, const RECT& rect, const wchar_t* title, const wchar_t* right);

// The menu bar over rect, with an optional label at its left.
void PaintMenuBar(HDC dc, const RECT& rect, const wchar_t* label);

// Text in one line, vertically centred in rect, over what is there.
void DrawChromeText(HDC dc, const wchar_t* text, RECT rect, COLORREF color, int height, int weight, UINT align);

void FillColor(HDC dc, const RECT& rect, COLORREF color);
