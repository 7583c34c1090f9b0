#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "device/device_screen.h"
#include "device/include/aygshell.h"

// The shell library's dialogs and bars as the item uses them are checked
// against golden screenshots end to end; here, the rest of what it takes.
namespace {

int okCommands = 0;
int closes = 0;

// A captioned, framed popup like a dialog from a template, hidden: the shell
// library's bars are what the tests look at.
HWND NewDialog()
{
    static ATOM registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            okCommands += message == WM_COMMAND && LOWORD(wParam) == IDOK;
            if (message == WM_CLOSE) {
                ++closes;
                return 0;
            }
            return DefWindowProcW(window, message, wParam, lParam);
        };
        wc.lpszClassName = L"ShellTestDialog";
        return RegisterClassW(&wc);
    }();
    (void)registered;
    return CreateWindowExW(WS_EX_DLGMODALFRAME, L"ShellTestDialog", L"Tolvane",
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 10, 10, 200, 150, nullptr, nullptr,
                           nullptr, nullptr);
}

std::tuple<LONG, LONG, LONG, LONG> Edges(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

TEST(ShellLibrary, ExportsItsCallsByTheDevicesOrdinalsAndRefusesABadRecord)
{
    HMODULE library = LoadLibraryW(L"aygshell.dll");
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(34)), GetProcAddress(library, "SHCreateMenuBar"));
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(56)), GetProcAddress(library, "SHInitDialog"));
    SHINITDLGINFO noFlags = {0, NewDialog(), SHIDIF_SIZEDLGFULLSCREEN};
    SHINITDLGINFO noWindow = {SHIDIM_FLAGS, nullptr, SHIDIF_SIZEDLGFULLSCREEN};
    EXPECT_FALSE(SHInitDialog(nullptr) || SHInitDialog(&noFlags) || SHInitDialog(&noWindow));
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
}

TEST(ShellLibrary, InitDialogSizesTheDialogInTheDeviceScreenWithALiveOk)
{
    // A device window's 240x320 client area, away from the desktop's corner.
    HWND device = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 300, 200, 240, 320, nullptr, nullptr,
                                  nullptr, nullptr);
    SetDeviceWindowHandle(device);
    const struct {
        DWORD flags;
        std::tuple<LONG, LONG, LONG, LONG> expected;
    } cases[] = {
        {SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN, {300, 226, 540, 520}},
        {SHIDIF_SIZEDLG | SHIDIF_DONEBUTTON, {300, 226, 540, 494}},  // above the menu bar
        {SHIDIF_SIPDOWN, {10, 10, 210, 160}},                        // left as it is
    };
    for (const auto& c : cases) {
        HWND dialog = NewDialog();
        SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, c.flags};
        EXPECT_TRUE(SHInitDialog(&info));
        EXPECT_EQ(Edges(dialog), c.expected) << c.flags;
        HWND bar = FindWindowW(L"TolvaneDoneBar", nullptr);
        while (bar && GetWindow(bar, GW_OWNER) != dialog)
            bar = FindWindowExW(nullptr, bar, L"TolvaneDoneBar", nullptr);
        ASSERT_EQ(bar != nullptr, (c.flags & SHIDIF_DONEBUTTON) != 0);
        if (!bar)
            continue;
        EXPECT_EQ(Edges(bar), std::make_tuple(300L, 200L, 540L, 226L));
        HWND ok = FindWindowExW(bar, nullptr, L"BUTTON", L"ok");
        okCommands = 0;
        SendMessageW(ok, BM_CLICK, 0, 0);
        EXPECT_EQ(okCommands, 1) << "the title bar's ok sends IDOK";
        EnableWindow(dialog, FALSE);  // a message box over it
        SendMessageW(ok, BM_CLICK, 0, 0);
        EXPECT_EQ(okCommands, 1);
        EnableWindow(dialog, TRUE);
        closes = 0;
        SendMessageW(bar, WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4, or a window manager's close
        MSG msg;
        for (int i = 0; i < 100 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
            DispatchMessageW(&msg);
        EXPECT_TRUE(IsWindow(bar)) << "the bar goes only with its dialog";
        EXPECT_EQ(closes, 1) << "a close of the bar is one of its dialog";
    }
    SetEnvironmentVariableW(kDeviceWindowVariable, nullptr);
    DestroyWindow(device);
}

TEST(ShellLibrary, MenuBarTakesEveryRecordSizeTheDevicePasses)
{
    const struct {
        DWORD size, flags;
        BOOL created;
        bool reportsBar;
    } cases[] = {
        {36, SHCMBF_EMPTYBAR, TRUE, false},  // the device's older records: 32 (the item's) and 36
        {sizeof(SHMENUBARINFO), SHCMBF_EMPTYBAR, TRUE, true},
        {16, SHCMBF_EMPTYBAR, FALSE, false},
        {32, 0, FALSE, false},  // a menu from resources
    };
    for (const auto& c : cases) {
        HWND dialog = NewDialog();
        SHMENUBARINFO info = {};
        info.cbSize = c.size;
        info.hwndParent = dialog;
        info.dwFlags = c.flags;
        EXPECT_EQ(SHCreateMenuBar(&info), c.created) << c.size;
        HWND bar = FindWindowExW(dialog, nullptr, L"TolvaneMenuBar", nullptr);
        EXPECT_EQ(bar != nullptr, c.created != FALSE) << c.size;
        EXPECT_EQ(info.hwndMB, c.reportsBar ? bar : nullptr) << c.size;
    }
}

}  // namespace
