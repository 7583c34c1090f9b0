#include "options_dialog.h"

#include "device/include/aygshell.h"
#include "device/include/ce_kernel.h"
#include "game/game_session.h"
#include "open_dialog.h"
#include "resources/resource.h"
#include "scoring_dialog.h"
#include "settings.h"
#include "shell_dialog.h"

namespace {

// The twelve card backs in list order: entry i is icon IDI_FIRST_CARD_BACK + i.
const wchar_t* const kCardBackNames[12] = {
    L"Blue",         L"Red",         L"Black",       L"Purple",     L"Green",        L"Blue Globe",
    L"Purple Globe", L"Black Globe", L"Blue Stripe", L"Red Stripe", L"Black Stripe", L"Yellow Stripe",
};

const wchar_t kUnlinkQuestion[] =
    L"Are you sure you would like Remove the Link to Tolvane? This will cause a Soft Reset and Tolvane will no "
    L"longer be available. You will then be able to uninstall it.";

// In a process where the item never started (the Today screen's settings),
// the dialog shows what is stored, over the item's defaults.
void AdoptStoredSettings()
{
    gameSession.cardBackIcon = IDI_FIRST_CARD_BACK;
    gameSession.fiveDiscards = 0;
    LoadSettings();
}

void ResetWallet(HWND dialog)
{
    gameSession.wallet = kFullWallet;
    EnableWindow(GetDlgItem(dialog, IDC_RESET_WALLET), FALSE);
}

// Nothing of its own to draw: BeginPaint has the background erased and the
// window validated, and the controls paint themselves.
INT_PTR OnPaint(HWND dialog)
{
    PAINTSTRUCT ps;
    BeginPaint(dialog, &ps);
    EndPaint(dialog, &ps);
    return 0;
}

// WM_INITDIALOG: full screen, and the controls filled from gameSession.
void InitOptionsDialog(HWND dialog)
{
    if (!SettingsInMemory())
        AdoptStoredSettings();
    ShowDialogFullScreen(dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
    SendDlgItemMessageW(dialog, IDC_FIVE_DISCARDS, BM_SETCHECK, gameSession.fiveDiscards ? BST_CHECKED : BST_UNCHECKED,
                        0);
    for (const wchar_t* name : kCardBackNames)
        SendDlgItemMessageW(dialog, IDC_CARD_BACK_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageW(dialog, IDC_CARD_BACK_LIST, CB_SETCURSEL, gameSession.cardBackIcon - IDI_FIRST_CARD_BACK, 0);
}

// OK: the check box and the chosen card back into gameSession.
void ApplyOptions(HWND dialog)
{
    gameSession.fiveDiscards = SendDlgItemMessageW(dialog, IDC_FIVE_DISCARDS, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const LRESULT chosen = SendDlgItemMessageW(dialog, IDC_CARD_BACK_LIST, CB_GETCURSEL, 0, 0);
    // No back chosen (a stored back outside the list): the default back,
    // rather than 152, which would show the king of spades for a marked card.
    gameSession.cardBackIcon = chosen == CB_ERR ? IDI_FIRST_CARD_BACK : static_cast<int>(chosen) + IDI_FIRST_CARD_BACK;
}

// Asks, in a message box owned by owner, and on Yes unlinks the item from
// the Today screen and soft-resets the device. Answers the question's answer
// or a registry or reset result.
LONG UnlinkForUninstall(HWND owner)
{
    // Owned by the window that asked: owned by the row, "No" would hand the
    // foreground to the Today screen and bury this still-modal dialog.
    const int answer = MessageBoxW(owner, kUnlinkQuestion, L"Tolvane", MB_YESNO);
    if (answer != IDYES)
        return answer;
    HKEY key;
    const LONG opened = OpenItemKey(KEY_SET_VALUE, &key);
    if (opened != ERROR_SUCCESS)
        return opened;
    RegDeleteValueW(key, L"DLL");  // a missing value does not stop the reset
    RegCloseKey(key);
    return KernelIoControl(IOCTL_HAL_REBOOT, nullptr, 0, nullptr, 0, nullptr);
}

INT_PTR OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDOK:
        ApplyOptions(dialog);
        SaveSettings();
        EndDialog(dialog, 1);
        return 1;
    case IDC_SCORING:
        // Owned by this dialog, not the Today screen: closing the paytable
        // must not enable the Today screen while this dialog is still modal.
        OpenItemDialog(ItemLibrary(), IDD_SCORING, ScoringDlgProc, dialog);
        return 0;
    case IDC_UNLINK:
        UnlinkForUninstall(dialog);
        return 0;
    case IDC_RESET_WALLET:
        ResetWallet(dialog);
        return 0;
    default:
        return 0;  // IDCANCEL and the combo box's notifications included
    }
}

}  // namespace

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        return OnPaint(dialog);
    case WM_INITDIALOG:
        InitOptionsDialog(dialog);
        return 1;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_LBUTTONDOWN:
        return 0;
    case WM_CLOSE:
        // Ignored like IDCANCEL: DefWindowProcW would destroy the dialog
        // without ending its modal loop, leaving the Today screen disabled.
        return 0;
    default:
        // DefWindowProcW's answer rather than FALSE, as the device's dialogs
        // give: the dialog manager takes a nonzero one as handled.
        return DefWindowProcW(dialog, message, wParam, lParam);
    }
}
