#include <windows.h>
#include <stddef.h>

#include "device/chrome/chrome.h"
#include "device/device_screen.h"
#include "device/include/aygshell.h"
#include "shell_bars.h"

namespace {

// Full screen below the title bar, as the shell shows its dialogs: no
// caption or frame of the dialog's own; the title goes to the title bar.
void FillScreen(HWND dialog, bool leaveMenuBar)
{
    const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    SetWindowLongPtrW(dialog, GWL_STYLE, style & ~(WS_CAPTION | WS_THICKFRAME | WS_DLGFRAME | WS_BORDER));
    const LONG_PTR exStyle = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
    SetWindowLongPtrW(dialog, GWL_EXSTYLE, exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE));
    const RECT screen = DeviceScreenRect();
    const int bottom = screen.bottom - (leaveMenuBar ? kMenuBarHeight : 0);
    SetWindowPos(dialog, nullptr, screen.left, screen.top + kTitleBarHeight, screen.right - screen.left,
                 bottom - screen.top - kTitleBarHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The part of the record every caller passes: the device's 32-byte record
// ends before nBmpId, and later members are read only when the size given
// covers them.
const DWORD kSmallestMenuBarInfo = 32;

}  // namespace

extern "C" BOOL WINAPI SHInitDialog(PSHINITDLGINFO info)
{
    if (!info || !(info->dwMask & SHIDIM_FLAGS) || !IsWindow(info->hDlg)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD flags = info->dwFlags;
    if (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN))
        FillScreen(info->hDlg, !(flags & SHIDIF_SIZEDLGFULLSCREEN));
    if (flags & SHIDIF_DONEBUTTON)
        CreateDoneBar(info->hDlg);
    // SHIDIF_SIPDOWN: the device has no input panel up to lower.
    return TRUE;
}

extern "C" BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || info->cbSize < kSmallestMenuBarInfo || !IsWindow(info->hwndParent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
        // Menus from resources are not part of this device.
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    HWND bar = CreateEmptyMenuBar(info->hwndParent, !(info->dwFlags & SHCMBF_HIDDEN));
    if (info->cbSize >= offsetof(SHMENUBARINFO, hwndMB) + sizeof(info->hwndMB))
        info->hwndMB = bar;
    return bar != nullptr;
}
