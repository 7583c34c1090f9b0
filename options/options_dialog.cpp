#include "options_dialog.h"

// The options dialog's own procedure comes with the options work; until then
// the dialog opens and its OK closes it.
INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return 1;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EndDialog(dialog, 1);
        return 1;
    }
    return 0;
}
