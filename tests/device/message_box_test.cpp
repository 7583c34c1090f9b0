#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/chrome/chrome.h"
#include "device/device_environment.h"
#include "item/item_font.h"

namespace {

const wchar_t kLongQuestion[] =
    L"Are you sure you would like Remove the Link to Tolvane? This will cause a Soft Reset and Tolvane will no "
    L"longer be available. You will then be able to uninstall it.";

// A 240x320 device screen away from the desktop's corner: the device window.
class DeviceScreen {
public:
    DeviceScreen()
    {
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 300, 200, 240, 320, nullptr, nullptr,
                                 nullptr, nullptr);
        SetEnvironmentVariableW(kDeviceWindowVariable, std::to_wstring(reinterpret_cast<UINT_PTR>(window)).c_str());
    }
    ~DeviceScreen()
    {
        SetEnvironmentVariableW(kDeviceWindowVariable, nullptr);
        DestroyWindow(window);
    }
    HWND window;
};

// What the box showed, and how it was answered.
struct Seen {
    RECT box = {}, text = {};
    int textHeightNeeded = 0;
    int defaultId = 0;
    BOOL ownerEnabled = TRUE;
    std::wstring caption;
};

struct Answer {
    UINT message;
    WPARAM wParam;
};

Seen seen;
std::vector<Answer> answers;  // posted one a tick while the box is up
HWND owner;

void CALLBACK AnswerTheBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            if (!GetDlgItem(window, 0xFFFF) || !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (!box || answers.empty())
        return;
    const Answer answer = answers.front();
    answers.erase(answers.begin());
    PostMessageW(answer.message == WM_KEYDOWN ? GetFocus() : box, answer.message, answer.wParam, 0);
    if (!seen.caption.empty())
        return;
    HWND text = GetDlgItem(box, 0xFFFF);
    GetWindowRect(box, &seen.box);
    GetWindowRect(text, &seen.text);
    wchar_t caption[64];
    GetWindowTextW(box, caption, 64);
    seen.caption = caption;
    HDC dc = GetDC(text);
    HGDIOBJ kept = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, seen.text.right - seen.text.left, 0};
    wchar_t said[512];
    GetWindowTextW(text, said, 512);
    DrawTextW(dc, said, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
    SelectObject(dc, kept);
    ReleaseDC(text, dc);
    seen.textHeightNeeded = needed.bottom;
    seen.defaultId = LOWORD(SendMessageW(box, DM_GETDEFID, 0, 0));
    seen.ownerEnabled = IsWindowEnabled(owner);
}

TEST(DeviceMessageBox, FitsTheScreenAndAnswersAsTheDesktopDoes)
{
    DeviceScreen screen;
    owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 310, 210, 100, 100, nullptr, nullptr,
                            nullptr, nullptr);
    struct Case {
        UINT type;
        std::vector<Answer> answers;
        int defaultId, result;
    };
    const Answer kReturn = {WM_KEYDOWN, VK_RETURN}, kEscape = {WM_KEYDOWN, VK_ESCAPE}, kClose = {WM_CLOSE, 0};
    const Case cases[] = {
        {MB_YESNO, {{WM_COMMAND, IDNO}}, IDYES, IDNO},
        {MB_YESNO, {{WM_COMMAND, IDYES}}, IDYES, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, {kReturn}, IDNO, IDNO},  // the pad's action key
        {MB_YESNO, {kClose, kEscape, {WM_COMMAND, IDNO}}, IDYES, IDNO},  // no Cancel: both ignored
        {MB_YESNOCANCEL | MB_DEFBUTTON3, {kReturn}, IDCANCEL, IDCANCEL},
        {MB_OKCANCEL, {kEscape}, IDOK, IDCANCEL},
        {MB_OK, {kClose}, IDOK, IDOK},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, {{WM_COMMAND, IDIGNORE}}, IDRETRY, IDIGNORE},
        {MB_RETRYCANCEL, {{WM_COMMAND, IDRETRY}}, IDRETRY, IDRETRY},
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, AnswerTheBox);
    for (const Case& c : cases) {
        seen = Seen();
        answers = c.answers;
        const int result = MessageBoxW(owner, kLongQuestion, L"Tolvane", c.type);
        EXPECT_EQ(result, c.result) << c.type;
        EXPECT_TRUE(answers.empty()) << c.type;
        EXPECT_EQ(seen.defaultId, c.defaultId) << c.type;
        EXPECT_EQ(seen.caption, L"Tolvane");
        EXPECT_FALSE(seen.ownerEnabled) << "modal over its owner";
        EXPECT_TRUE(IsWindowEnabled(owner));
        // Within the device's screen, and the text wholly shown.
        EXPECT_GE(seen.box.left, 300);
        EXPECT_LE(seen.box.right, 540);
        EXPECT_GE(seen.box.top, 200);
        EXPECT_LE(seen.box.bottom, 520);
        EXPECT_GE(seen.text.left, seen.box.left);
        EXPECT_LE(seen.text.right, seen.box.right);
        EXPECT_GE(seen.text.bottom - seen.text.top, seen.textHeightNeeded);
        EXPECT_GT(seen.textHeightNeeded, 30) << "wrapped to several lines";
    }
    KillTimer(nullptr, timer);
    DestroyWindow(owner);
}

TEST(DeviceFonts, EveryTahomaIsTheDevicesOwn)
{
    HDC dc = CreateCompatibleDC(nullptr);
    const HFONT fonts[] = {CreateItemFont(FW_NORMAL), CreateItemFont(FW_BOLD), CreateChromeFont(11, FW_BOLD),
                           CreateChromeFont(13, FW_NORMAL)};
    for (HFONT font : fonts) {
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
