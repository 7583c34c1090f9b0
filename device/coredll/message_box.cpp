// MessageBoxW as a Pocket PC shows it: as wide as the screen and no wider,
// the text wrapped to that width, in the device's Tahoma. Buttons, default,
// answers, ownership and modality are the desktop's.
#include <windows.h>

#include "device/device_screen.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

const int kMargin = 6;
const int kButtonHeight = 20;
const int kButtonWidth = 50;
const int kButtonGap = 6;
const WORD kTextId = 0xFFFF;  // the desktop message box's text control

struct BoxButton {
    WORD id;
    const wchar_t* label;
};

struct BoxRequest {
    const wchar_t* text;
    const wchar_t* caption;
    UINT type;
};

// The buttons of an MB_ type, left to right; count answers how many.
const BoxButton* ButtonsOf(UINT type, int* count)
{
    static const BoxButton kOk[] = {{IDOK, L"OK"}};
    static const BoxButton kOkCancel[] = {{IDOK, L"OK"}, {IDCANCEL, L"Cancel"}};
    static const BoxButton kAbortRetryIgnore[] = {{IDABORT, L"Abort"}, {IDRETRY, L"Retry"}, {IDIGNORE, L"Ignore"}};
    static const BoxButton kYesNoCancel[] = {{IDYES, L"Yes"}, {IDNO, L"No"}, {IDCANCEL, L"Cancel"}};
    static const BoxButton kYesNo[] = {{IDYES, L"Yes"}, {IDNO, L"No"}};
    static const BoxButton kRetryCancel[] = {{IDRETRY, L"Retry"}, {IDCANCEL, L"Cancel"}};
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        *count = 2;
        return kOkCancel;
    case MB_ABORTRETRYIGNORE:
        *count = 3;
        return kAbortRetryIgnore;
    case MB_YESNOCANCEL:
        *count = 3;
        return kYesNoCancel;
    case MB_YESNO:
        *count = 2;
        return kYesNo;
    case MB_RETRYCANCEL:
        *count = 2;
        return kRetryCancel;
    default:
        *count = 1;
        return kOk;
    }
}

HWND AddControl(HWND box, const wchar_t* className, const wchar_t* text, DWORD style, RECT rect, WORD id)
{
    HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, box,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, SendMessageW(box, WM_GETFONT, 0, 0), FALSE);
    return control;
}

// The height the text takes, wrapped to width, in the box's font.
int WrappedTextHeight(HWND box, const wchar_t* text, int width)
{
    HDC dc = GetDC(box);
    HGDIOBJ kept = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, width, 0};
    DrawTextW(dc, text, -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    SelectObject(dc, kept);
    ReleaseDC(box, dc);
    return rect.bottom;
}

// The controls, laid out from the screen's width, and the box centred on it.
BOOL OnInitDialog(HWND box, const BoxRequest& request)
{
    SetWindowTextW(box, request.caption ? request.caption : L"Error");
    const RECT screen = DeviceScreenRect();
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE));
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = screen.right - screen.left;
    const int clientWidth = width - (frame.right - frame.left);
    const int textWidth = clientWidth - 2 * kMargin;
    const int chrome = (frame.bottom - frame.top) + 3 * kMargin + kButtonHeight;
    // A text taller than the screen is cut at its bottom, never the box.
    const int fullHeight = WrappedTextHeight(box, request.text, textWidth);
    const int roomForText = static_cast<int>(screen.bottom - screen.top) - chrome;
    const int textHeight = fullHeight < roomForText ? fullHeight : roomForText;
    AddControl(box, L"STATIC", request.text, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL,
               {kMargin, kMargin, kMargin + textWidth, kMargin + textHeight}, kTextId);

    int count = 0;
    const BoxButton* buttons = ButtonsOf(request.type, &count);
    const int chosen = static_cast<int>((request.type & MB_DEFMASK) >> 8);
    const int defaultIndex = chosen < count ? chosen : 0;
    const int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    const int top = 2 * kMargin + textHeight;
    HWND defaultButton = nullptr;
    for (int i = 0; i < count; ++i) {
        const int left = (clientWidth - rowWidth) / 2 + i * (kButtonWidth + kButtonGap);
        HWND button = AddControl(box, L"BUTTON", buttons[i].label,
                                 WS_TABSTOP | (i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                 {left, top, left + kButtonWidth, top + kButtonHeight}, buttons[i].id);
        if (i == defaultIndex)
            defaultButton = button;
    }
    SendMessageW(box, DM_SETDEFID, buttons[defaultIndex].id, 0);

    const int height = chrome + textHeight;
    SetWindowPos(box, HWND_TOP, screen.left, screen.top + (screen.bottom - screen.top - height) / 2, width, height, 0);
    SetFocus(defaultButton);
    return FALSE;  // the focus is set
}

// A button ends the box with its id. Escape and WM_CLOSE arrive as IDCANCEL:
// they answer Cancel where there is one, OK where OK is the only button, and
// are ignored otherwise, as on the desktop.
void OnCommand(HWND box, WORD id)
{
    const UINT type = static_cast<UINT>(GetWindowLongPtrW(box, DWLP_USER));
    int count = 0;
    const BoxButton* buttons = ButtonsOf(type, &count);
    for (int i = 0; i < count; ++i) {
        if (buttons[i].id == id) {
            EndDialog(box, id);
            return;
        }
    }
    if (id == IDCANCEL && count == 1)
        EndDialog(box, IDOK);
}

INT_PTR CALLBACK MessageBoxDlgProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const auto& request = *reinterpret_cast<const BoxRequest*>(lParam);
        SetWindowLongPtrW(box, DWLP_USER, request.type);
        return OnInitDialog(box, request);
    }
    case WM_COMMAND:
        OnCommand(box, LOWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        // A Pocket PC's message box stays where it is shown: the stylus on
        // its caption does not drag it (off the screen, at worst).
        return (wParam & 0xFFF0) == SC_MOVE;
    default:
        return FALSE;
    }
}

// A template with no controls in the device's font; the controls are made
// at run time, in pixels from the screen's width.
struct BoxTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
    WORD pointSize;
    wchar_t face[7];
};

}  // namespace

extern "C" int WINAPI DeviceMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    alignas(4) static const BoxTemplate kTemplate = {
        {WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 0, 0, 0}, 0, 0, 0, 8, L"Tahoma"};
    const BoxRequest request = {text ? text : L"", caption, type};
    const INT_PTR answer = DialogBoxIndirectParamW(reinterpret_cast<HINSTANCE>(&__ImageBase), &kTemplate.header, owner,
                                                   MessageBoxDlgProc, reinterpret_cast<LPARAM>(&request));
    return answer > 0 ? static_cast<int>(answer) : 0;
}
