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

// The stylus pressed at a point of the desktop, or moved or lifted there.
INPUT Stylus(POINT at, DWORD action)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (at.x * 65536 + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN);
    input.mi.dy = (at.y * 65536 + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN);
    input.mi.dwFlags = action | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

// On a Pocket PC a message box stays where it is shown: the stylus dragged
// over its caption does not carry it (off the screen, at worst).
TEST(DeviceMessageBox, StaysWhereItIsShown)
{
    // Wine 10 takes input only for the session's input desktop: this one.
    SwitchDesktop(GetThreadDesktop(GetCurrentThreadId()));
    RECT shown = {}, after = {};
    HWND box = nullptr;
    TimerScript script({[&] {
                            if (!(box = OwnedDialog(nullptr)))
                                return false;
                            GetWindowRect(box, &shown);
                            const POINT caption = {shown.left + 40, shown.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
                            INPUT drag[] = {Stylus(caption, MOUSEEVENTF_LEFTDOWN),
                                            Stylus({caption.x + 20, caption.y + 30}, 0),
                                            Stylus({caption.x + 40, caption.y + 60}, 0),
                                            Stylus({caption.x + 40, caption.y + 60}, MOUSEEVENTF_LEFTUP)};
                            return SendInput(4, drag, sizeof(INPUT)) == 4;
                        },
                        [] { return true; },
                        [&] {
                            GetWindowRect(box, &after);
                            return PostMessageW(box, WM_COMMAND, IDOK, 0) != 0;
                        }});
    EXPECT_EQ(MessageBoxW(nullptr, L"Remove the link?", L"Tolvane", MB_OK), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(EqualRect(&shown, &after)) << "moved to (" << after.left << ", " << after.top << ") from ("
                                            << shown.left << ", " << shown.top << ")";
}

}  // namespace
