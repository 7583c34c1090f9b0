#pragma once

#include <windows.h>

// The windows the shell library adds to a dialog; both go with it.

// The title bar across the top of the screen with the dialog's title and an
// "ok" button that sends the dialog IDOK; owned by the dialog.
HWND CreateDoneBar(HWND dialog);

// The empty menu bar across the bottom of the dialog (of the screen, once
// the dialog is full screen), as a child of the dialog.
HWND CreateEmptyMenuBar(HWND dialog, bool visible);
