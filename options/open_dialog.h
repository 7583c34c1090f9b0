#pragma once

#include <windows.h>

// Runs one of the item's dialog templates modally, owned by owner: the
// window it was opened from, which the dialog disables and gives back the
// foreground to when it closes. Answers the dialog's result, or -1 when the
// template cannot be found or loaded.
INT_PTR OpenItemDialog(WORD templateId, DLGPROC procedure, HWND owner);
