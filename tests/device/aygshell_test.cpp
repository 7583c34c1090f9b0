#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/device_environment.h"
#include "device/include/aygshell.h"

namespace {

int okCommands = 0;

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        ++okCommands;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A captioned, framed popup like a dialog from a template. Hidden: the
// shell library's bars are what the tests look at.
HWND NewDialog()
{
    static ATOM registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DialogProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ShellTestDialog";
        return RegisterClassW(&wc);
    }();
    (void)registered;
    return CreateWindowExW(WS_EX_DLGMODALFRAME, L"ShellTestDialog", L"Tolvane",
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 10, 10, 200, 150, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

std::vector<HWND> OwnedBy(HWND owner, const wchar_t* className)
{
    struct Search {
        HWND owner;
        const wchar_t* className;
        std::vector<HWND> found;
    } search = {owner, className, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM context) -> BOOL {
            auto s = reinterpret_cast<Search*>(context);
            wchar_t name[64];
            GetClassNameW(window, name, 64);
            if (GetWindow(window, GW_OWNER) == s->owner && lstrcmpW(name, s->className) == 0)
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT WindowRect(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

const int kWidth = GetSystemMetrics(SM_CXSCREEN);
const int kHeight = GetSystemMetrics(SM_CYSCREEN);

TEST(ShellLibrary, ExportsItsCallsByTheDevicesOrdinalsAndByName)
{
    HMODULE library = LoadLibraryW(L"aygshell.dll");
    ASSERT_TRUE(library);
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(34)), GetProcAddress(library, "SHCreateMenuBar"));
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(56)), GetProcAddress(library, "SHInitDialog"));
    EXPECT_TRUE(GetProcAddress(library, "SHInitDialog"));
}

TEST(ShellLibrary, InitDialogFillsTheScreenBelowTheTitleBar)
{
    // The whole desktop, and a device window's 240x320 client area away
    // from the desktop's corner.
    HWND deviceWindow = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 300, 200, 240, 320, nullptr,
                                        nullptr, nullptr, nullptr);
    const std::wstring handle = std::to_wstring(reinterpret_cast<UINT_PTR>(deviceWindow));
    const struct {
        const wchar_t* window;
        RECT screen;
    } screens[] = {{nullptr, {0, 0, kWidth, kHeight}}, {handle.c_str(), {300, 200, 540, 520}}};
    for (const auto& screen : screens) {
        SetEnvironmentVariableW(kDeviceWindowVariable, screen.window);
        const RECT s = screen.screen;
        struct Case {
            DWORD flags;
            RECT expected;
        };
        const Case cases[] = {
            {SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN, {s.left, s.top + 26, s.right, s.bottom}},
            {SHIDIF_SIZEDLG | SHIDIF_DONEBUTTON, {s.left, s.top + 26, s.right, s.bottom - 26}},
            {SHIDIF_SIPDOWN, {10, 10, 210, 160}},  // left as it is
        };
        for (const Case& c : cases) {
            HWND dialog = NewDialog();
            SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, c.flags};
            EXPECT_TRUE(SHInitDialog(&info));
            const RECT rect = WindowRect(dialog);
            EXPECT_EQ(rect.left, c.expected.left) << c.flags;
            EXPECT_EQ(rect.top, c.expected.top) << c.flags;
            EXPECT_EQ(rect.right, c.expected.right) << c.flags;
            EXPECT_EQ(rect.bottom, c.expected.bottom) << c.flags;
            if (c.flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) {
                RECT client;
                GetClientRect(dialog, &client);
                EXPECT_EQ(client.right, rect.right - rect.left) << "no frame of its own";
                EXPECT_EQ(client.bottom, rect.bottom - rect.top) << "no caption of its own";
            }
            const std::vector<HWND> bars = OwnedBy(dialog, L"TolvaneDoneBar");
            ASSERT_EQ(bars.size(), (c.flags & SHIDIF_DONEBUTTON) ? 1u : 0u);
            if (!bars.empty()) {
                const RECT bar = WindowRect(bars[0]);
                EXPECT_EQ(bar.left, s.left) << "the title bar at the top of the screen";
                EXPECT_EQ(bar.top, s.top);
                EXPECT_EQ(bar.right, s.right);
                EXPECT_EQ(bar.bottom, s.top + 26);
            }
            DestroyWindow(dialog);
        }
    }
    SetEnvironmentVariableW(kDeviceWindowVariable, nullptr);
    DestroyWindow(deviceWindow);
}

TEST(ShellLibrary, TheDoneButtonSendsOk)
{
    HWND dialog = NewDialog();
    SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    ASSERT_TRUE(SHInitDialog(&info));
    std::vector<HWND> bars = OwnedBy(dialog, L"TolvaneDoneBar");
    ASSERT_EQ(bars.size(), 1u);
    HWND ok = FindWindowExW(bars[0], nullptr, L"BUTTON", L"ok");
    ASSERT_TRUE(ok);
    okCommands = 0;
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(okCommands, 1);
    EnableWindow(dialog, FALSE);  // a message box over it
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(okCommands, 1);
}

TEST(ShellLibrary, InitDialogRefusesABadRecord)
{
    SHINITDLGINFO noFlags = {0, NewDialog(), SHIDIF_SIZEDLGFULLSCREEN};
    SHINITDLGINFO noWindow = {SHIDIM_FLAGS, nullptr, SHIDIF_SIZEDLGFULLSCREEN};
    EXPECT_FALSE(SHInitDialog(nullptr));
    EXPECT_FALSE(SHInitDialog(&noFlags));
    EXPECT_FALSE(SHInitDialog(&noWindow));
}

TEST(ShellLibrary, MenuBarTakesEveryRecordSizeTheDevicePasses)
{
    struct Case {
        DWORD size;
        DWORD flags;
        BOOL created;
        bool reportsBar;
    };
    const Case cases[] = {
        {32, SHCMBF_EMPTYBAR, TRUE, false},  // the device's older record
        {36, SHCMBF_EMPTYBAR, TRUE, false},
        {sizeof(SHMENUBARINFO), SHCMBF_EMPTYBAR, TRUE, true},
        {16, SHCMBF_EMPTYBAR, FALSE, false},
        {0, SHCMBF_EMPTYBAR, FALSE, false},
        {32, 0, FALSE, false},  // a menu from resources
    };
    for (const Case& c : cases) {
        HWND dialog = NewDialog();
        SHINITDLGINFO full = {SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
        SHInitDialog(&full);
        SHMENUBARINFO info = {};
        info.cbSize = c.size;
        info.hwndParent = dialog;
        info.dwFlags = c.flags;
        info.hInstRes = GetModuleHandleW(nullptr);
        EXPECT_EQ(SHCreateMenuBar(&info), c.created) << c.size;
        HWND bar = FindWindowExW(dialog, nullptr, L"TolvaneMenuBar", nullptr);
        ASSERT_EQ(bar != nullptr, c.created != FALSE) << c.size;
        EXPECT_EQ(info.hwndMB, c.reportsBar ? bar : nullptr) << c.size;
        if (c.created) {
            const RECT rect = WindowRect(bar);
            EXPECT_EQ(rect.top, kHeight - 26);
            EXPECT_EQ(rect.bottom, kHeight);
            EXPECT_EQ(rect.right - rect.left, kWidth);
        }
    }
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
}

}  // namespace
