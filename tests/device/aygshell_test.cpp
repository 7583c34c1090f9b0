#include <gtest/gtest.h>

#include <string>

#include "device/device_environment.h"
#include "device/include/aygshell.h"

namespace {

int okCommands = 0;

// A captioned, framed popup like a dialog from a template, hidden: the shell
// library's bars are what the tests look at.
HWND NewDialog()
{
    static ATOM registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            okCommands += message == WM_COMMAND && LOWORD(wParam) == IDOK;
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

// The done bar the shell library gave a dialog, if any.
HWND DoneBar(HWND dialog)
{
    for (HWND w = FindWindowW(L"TolvaneDoneBar", nullptr); w; w = FindWindowExW(nullptr, w, L"TolvaneDoneBar", nullptr))
        if (GetWindow(w, GW_OWNER) == dialog)
            return w;
    return nullptr;
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

void ExpectRect(const RECT& actual, const RECT& expected, DWORD flags)
{
    EXPECT_EQ(actual.left, expected.left) << flags;
    EXPECT_EQ(actual.top, expected.top) << flags;
    EXPECT_EQ(actual.right, expected.right) << flags;
    EXPECT_EQ(actual.bottom, expected.bottom) << flags;
}

TEST(ShellLibrary, ExportsItsCallsByTheDevicesOrdinalsAndRefusesABadRecord)
{
    HMODULE library = LoadLibraryW(L"aygshell.dll");
    ASSERT_TRUE(GetProcAddress(library, "SHInitDialog"));
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(34)), GetProcAddress(library, "SHCreateMenuBar"));
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(56)), GetProcAddress(library, "SHInitDialog"));
    SHINITDLGINFO noFlags = {0, NewDialog(), SHIDIF_SIZEDLGFULLSCREEN};
    SHINITDLGINFO noWindow = {SHIDIM_FLAGS, nullptr, SHIDIF_SIZEDLGFULLSCREEN};
    EXPECT_FALSE(SHInitDialog(nullptr));
    EXPECT_FALSE(SHInitDialog(&noFlags));
    EXPECT_FALSE(SHInitDialog(&noWindow));
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
}

TEST(ShellLibrary, InitDialogFillsTheScreenBelowTheTitleBarWithAnOkThere)
{
    // The whole desktop, and a device window's 240x320 client area away from its corner.
    HWND device = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 300, 200, 240, 320, nullptr, nullptr,
                                  nullptr, nullptr);
    const std::wstring handle = std::to_wstring(reinterpret_cast<UINT_PTR>(device));
    const struct {
        const wchar_t* window;
        RECT s;
    } screens[] = {{nullptr, {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}},
                   {handle.c_str(), {300, 200, 540, 520}}};
    for (const auto& [window, s] : screens) {
        SetEnvironmentVariableW(kDeviceWindowVariable, window);
        const struct {
            DWORD flags;
            RECT expected;
        } cases[] = {
            {SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN, {s.left, s.top + 26, s.right, s.bottom}},
            {SHIDIF_SIZEDLG | SHIDIF_DONEBUTTON, {s.left, s.top + 26, s.right, s.bottom - 26}},
            {SHIDIF_SIPDOWN, {10, 10, 210, 160}},  // left as it is
        };
        for (const auto& c : cases) {
            HWND dialog = NewDialog();
            SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, c.flags};
            EXPECT_TRUE(SHInitDialog(&info));
            ExpectRect(WindowRect(dialog), c.expected, c.flags);
            RECT client;
            GetClientRect(dialog, &client);
            if (c.flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) {
                EXPECT_EQ(client.right, c.expected.right - c.expected.left) << "no frame of its own";
                EXPECT_EQ(client.bottom, c.expected.bottom - c.expected.top) << "no caption of its own";
            }
            HWND bar = DoneBar(dialog);
            ASSERT_EQ(bar != nullptr, (c.flags & SHIDIF_DONEBUTTON) != 0);
            if (!bar)
                continue;
            ExpectRect(WindowRect(bar), {s.left, s.top, s.right, s.top + 26}, c.flags);
            HWND ok = FindWindowExW(bar, nullptr, L"BUTTON", L"ok");
            okCommands = 0;
            SendMessageW(ok, BM_CLICK, 0, 0);
            EXPECT_EQ(okCommands, 1) << "the title bar's ok sends IDOK";
            EnableWindow(dialog, FALSE);  // a message box over it
            SendMessageW(ok, BM_CLICK, 0, 0);
            EXPECT_EQ(okCommands, 1);
        }
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
        {32, SHCMBF_EMPTYBAR, TRUE, false},  // the device's older record
        {36, SHCMBF_EMPTYBAR, TRUE, false},
        {sizeof(SHMENUBARINFO), SHCMBF_EMPTYBAR, TRUE, true},
        {16, SHCMBF_EMPTYBAR, FALSE, false},
        {32, 0, FALSE, false},  // a menu from resources
    };
    for (const auto& c : cases) {
        HWND dialog = NewDialog();
        SHINITDLGINFO full = {SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
        SHInitDialog(&full);
        SHMENUBARINFO info = {};
        info.cbSize = c.size;
        info.hwndParent = dialog;
        info.dwFlags = c.flags;
        EXPECT_EQ(SHCreateMenuBar(&info), c.created) << c.size;
        HWND bar = FindWindowExW(dialog, nullptr, L"TolvaneMenuBar", nullptr);
        ASSERT_EQ(bar != nullptr, c.created != FALSE) << c.size;
        EXPECT_EQ(info.hwndMB, c.reportsBar ? bar : nullptr) << c.size;
        if (bar) {
            const int height = GetSystemMetrics(SM_CYSCREEN);
            ExpectRect(WindowRect(bar), {0, height - 26, GetSystemMetrics(SM_CXSCREEN), height}, c.size);
        }
    }
}

}  // namespace
