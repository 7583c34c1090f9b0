#include <gtest/gtest.h>

#include <string>

#include "device/chrome/chrome.h"
#include "device/device_environment.h"
#include "item/item_font.h"
#include "tests/support/timer_script.h"

namespace {

TEST(DeviceMessageBox, FitsTheScreenAndAnswersAsTheDesktopDoes)
{
    // A 240x320 device window away from the desktop's corner, and an owner on it.
    HWND device = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 300, 200, 240, 320, nullptr, nullptr,
                                  nullptr, nullptr);
    SetEnvironmentVariableW(kDeviceWindowVariable, std::to_wstring(reinterpret_cast<UINT_PTR>(device)).c_str());
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 310, 210, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    const std::pair<UINT, WPARAM> kReturn = {WM_KEYDOWN, VK_RETURN}, kEscape = {WM_KEYDOWN, VK_ESCAPE},
                                  kClose = {WM_CLOSE, 0};
    const struct {
        UINT type;
        std::vector<std::pair<UINT, WPARAM>> answers;  // one a tick while the box is up
        int defaultId, result;
    } cases[] = {
        {MB_YESNO, {{WM_COMMAND, IDNO}}, IDYES, IDNO},
        {MB_YESNO | MB_DEFBUTTON2, {kReturn}, IDNO, IDNO},                // the pad's action key
        {MB_YESNO, {kClose, kEscape, {WM_COMMAND, IDYES}}, IDYES, IDYES},  // no Cancel: both ignored
        {MB_YESNOCANCEL | MB_DEFBUTTON3, {kReturn}, IDCANCEL, IDCANCEL},
        {MB_OKCANCEL, {kEscape}, IDOK, IDCANCEL},
        {MB_OK, {kClose}, IDOK, IDOK},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, {{WM_COMMAND, IDIGNORE}}, IDRETRY, IDIGNORE},
        {MB_RETRYCANCEL, {{WM_COMMAND, IDRETRY}}, IDRETRY, IDRETRY},
    };
    for (const auto& c : cases) {
        RECT box = {}, text = {};
        int needed = 0, defaultId = 0;
        BOOL ownerEnabled = TRUE;
        wchar_t caption[64] = {};
        std::vector<std::function<bool()>> steps;
        for (const auto& answer : c.answers)
            steps.push_back([&, answer] {
                HWND shown = OwnedDialog(owner);
                if (!shown)
                    return false;
                if (!defaultId) {
                    HWND label = GetDlgItem(shown, 0xFFFF);
                    GetWindowRect(shown, &box);
                    GetWindowRect(label, &text);
                    GetWindowTextW(shown, caption, 64);
                    wchar_t said[512];
                    GetWindowTextW(label, said, 512);
                    HDC dc = GetDC(label);
                    HGDIOBJ kept = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
                    RECT wrapped = {0, 0, text.right - text.left, 0};
                    DrawTextW(dc, said, -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
                    SelectObject(dc, kept);
                    ReleaseDC(label, dc);
                    needed = wrapped.bottom;
                    defaultId = LOWORD(SendMessageW(shown, DM_GETDEFID, 0, 0));
                    ownerEnabled = IsWindowEnabled(owner);
                }
                return PostMessageW(answer.first == WM_KEYDOWN ? GetFocus() : shown, answer.first, answer.second, 0) != 0;
            });
        TimerScript script(steps);
        EXPECT_EQ(MessageBoxW(owner,
                              L"Are you sure you would like Remove the Link to Tolvane? This will cause a Soft Reset "
                              L"and Tolvane will no longer be available. You will then be able to uninstall it.",
                              L"Tolvane", c.type),
                  c.result)
            << c.type;
        EXPECT_TRUE(script.Finished()) << c.type;
        EXPECT_EQ(defaultId, c.defaultId) << c.type;
        EXPECT_STREQ(caption, L"Tolvane");
        EXPECT_FALSE(ownerEnabled) << "modal over its owner";
        EXPECT_TRUE(IsWindowEnabled(owner));
        // Within the device's screen, the text wrapped to several lines and wholly shown.
        EXPECT_TRUE(box.left >= 300 && box.right <= 540 && box.top >= 200 && box.bottom <= 520) << c.type;
        EXPECT_TRUE(text.left >= box.left && text.right <= box.right) << c.type;
        EXPECT_GE(text.bottom - text.top, needed);
        EXPECT_GT(needed, 30);
    }
    SetEnvironmentVariableW(kDeviceWindowVariable, nullptr);
    DestroyWindow(owner);
    DestroyWindow(device);
}

TEST(DeviceFonts, EveryTahomaIsTheDevicesOwn)
{
    HDC dc = CreateCompatibleDC(nullptr);
    for (HFONT font : {CreateItemFont(FW_NORMAL), CreateItemFont(FW_BOLD), CreateChromeFont(11, FW_BOLD),
                       CreateChromeFont(13, FW_NORMAL)}) {
        HGDIOBJ kept = SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        EXPECT_STREQ(face, L"Tahoma");
        SelectObject(dc, kept);
        DeleteObject(font);
    }
    DeleteDC(dc);
}

}  // namespace
