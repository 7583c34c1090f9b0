#pragma once

#include <windows.h>

// Hands a dialog to the Pocket PC shell: full screen with the given
// SHIDIF_* flags, brought to the front, with an empty menu bar. Failures
// leave the dialog as its template lays it out.
void ShowDialogFullScreen(HWND dialog, DWORD flags);
