#pragma once

#include <windows.h>

// The windows the shell library adds to a dialog: both are owned by the
// dialog, so they stay above it and go with it.

// The title bar across the top of the screen with the dialog's title and an
// "ok" button that sends the dialog IDOK.
HWND CreateDoneBar(HWND dialog);

// The empty menu bar across the bottom of the screen.
HWND CreateEmptyMenuBar(HWND dialog, bool visible);
