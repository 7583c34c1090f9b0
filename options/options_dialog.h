#pragma once

#include <windows.h>

extern "C" {
// Export 241: the procedure of the options dialog, template 500.
INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
}

// WM_INITDIALOG: full screen, and the controls filled from gameSession.
void InitOptionsDialog(HWND dialog);

// OK: the check box and the chosen card back into gameSession.
void ApplyOptions(HWND dialog);

// Asks, in a message box owned by owner, and on Yes unlinks the item from
// the Today screen and soft-resets the device. Answers the question's answer
// or a registry or reset result.
LONG UnlinkForUninstall(HWND owner);

// The twelve card backs in list order: entry i is icon 153 + i.
extern const wchar_t* const kCardBackNames[12];
