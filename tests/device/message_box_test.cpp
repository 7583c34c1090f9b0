#include <gtest/gtest.h>

#include "tests/support/timer_script.h"

// How the device's message box looks, its caption and text among it, is
// checked against a golden screenshot end to end; here, how it answers.
namespace {

TEST(DeviceMessageBox, AnswersAsTheDesktopDoes)
{
    HWND owner =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr, nullptr, nullptr);
    const std::pair<UINT, WPARAM> kReturn = {WM_KEYDOWN, VK_RETURN}, kEscape = {WM_KEYDOWN, VK_ESCAPE},
                                  kClose = {WM_CLOSE, 0};
    const struct {
        UINT type;
        std::vector<std::pair<UINT, WPARAM>> answers;  // one a tick while the box is up
        int defaultId, result;
    } cases[] = {
        {MB_YESNO, {{WM_COMMAND, IDNO}}, IDYES, IDNO},
        {MB_YESNO | MB_DEFBUTTON2, {kReturn}, IDNO, IDNO},                 // the pad's action key
        {MB_YESNO, {kClose, kEscape, {WM_COMMAND, IDYES}}, IDYES, IDYES},  // no Cancel: both ignored
        {MB_YESNOCANCEL | MB_DEFBUTTON3, {kReturn}, IDCANCEL, IDCANCEL},
        {MB_OKCANCEL, {kEscape}, IDOK, IDCANCEL},
        {MB_OK, {kClose}, IDOK, IDOK},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, {{WM_COMMAND, IDIGNORE}}, IDRETRY, IDIGNORE},
        {MB_RETRYCANCEL, {{WM_COMMAND, IDRETRY}}, IDRETRY, IDRETRY},
    };
    for (const auto& c : cases) {
        int defaultId = 0;
        BOOL ownerEnabled = TRUE;
        std::vector<std::function<bool()>> steps;
        for (const auto& answer : c.answers)
            steps.push_back([&, answer] {
                HWND shown = OwnedDialog(owner);
                if (!shown)
                    return false;
                if (!defaultId) {
                    defaultId = LOWORD(SendMessageW(shown, DM_GETDEFID, 0, 0));
                    ownerEnabled = IsWindowEnabled(owner);
                }
                return PostMessageW(answer.first == WM_KEYDOWN ? GetFocus() : shown, answer.first, answer.second, 0) !=
                       0;
            });
        TimerScript script(steps);
        EXPECT_EQ(MessageBoxW(owner, L"Remove the link?", L"Tolvane", c.type), c.result) << c.type;
        EXPECT_TRUE(script.Finished()) << c.type;
        EXPECT_EQ(defaultId, c.defaultId) << c.type;
        EXPECT_FALSE(ownerEnabled) << "modal over its owner";
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    DestroyWindow(owner);
}

}  // namespace
