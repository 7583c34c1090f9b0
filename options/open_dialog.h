#pragma once

#include <windows.h>

// Runs dialog template templateId of module modally, owned by owner: the
// window it was opened from, which the dialog disables and gives back the
// foreground to when it closes. Answers the dialog's result, or -1 when the
// template cannot be found or loaded.
INT_PTR OpenItemDialog(HINSTANCE module, WORD templateId, DLGPROC procedure, HWND owner);

// The item's library as this process loaded it, where the dialogs find
// their templates: the Today screen's settings run the options in a process
// where the item may never have started. Null in a program that holds the
// item itself and has not loaded the library: its own resources are then
// found.
HINSTANCE ItemLibrary();
