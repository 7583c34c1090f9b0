#include "shell_dialog.h"

#include "device/include/aygshell.h"
#include "open_dialog.h"

void ShowDialogFullScreen(HWND dialog, DWORD flags)
{
    SHINITDLGINFO init = {};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = dialog;
    init.dwFlags = flags;
    SetForegroundWindow(dialog);
    SHInitDialog(&init);

    SHMENUBARINFO menuBar = {};
    menuBar.cbSize = 32;  // the size the device's callers pass
    menuBar.hwndParent = dialog;
    menuBar.dwFlags = SHCMBF_EMPTYBAR;
    menuBar.hInstRes = ItemLibrary();
    SHCreateMenuBar(&menuBar);
}
