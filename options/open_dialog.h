#pragma once

#include <windows.h>

// Runs one of the item's dialog templates modally, owned by the Today screen
// window that holds the row. Answers the dialog's result, or -1 when the
// template cannot be found or loaded.
INT_PTR OpenItemDialog(WORD templateId, DLGPROC procedure);
