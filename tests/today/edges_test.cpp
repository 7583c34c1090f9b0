#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/device_screen.h"
#include "today/runner/device_rules.h"
#include "today/runner/script.h"

// The device's rules and its script language at their edges: the last value
// each takes, and the first it refuses.
namespace {

TEST(DeviceRulesAtTheEdge, AWindowMayFillTheScreenButNotReachOnePixelPast)
{
    const RECT screen = DeviceScreenRect();
    const int width = screen.right - screen.left, height = screen.bottom - screen.top;
    const struct {
        RECT rect;             // in the screen's coordinates
        const wchar_t* where;  // the broken rule's detail, or empty
    } cases[] = {
        {{0, 0, width, height}, L""},
        {{width - 1, height - 1, width, height}, L""},
        {{-1, 0, width - 1, height}, L"lies at (-1, 0)-("},
        {{0, -1, width, height - 1}, L"lies at (0, -1)-("},
        {{1, 0, width + 1, height}, L"lies at (1, 0)-("},
        {{0, 1, width, height + 1}, L"lies at (0, 1)-("},
    };
    for (const auto& c : cases) {
        HWND window =
            CreateWindowExW(0, L"STATIC", L"Edge", WS_POPUP, screen.left + c.rect.left, screen.top + c.rect.top,
                            c.rect.right - c.rect.left, c.rect.bottom - c.rect.top, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window);
        const std::wstring broken = OutsideTheScreen({window});
        DestroyWindow(window);
        if (!*c.where)
            EXPECT_EQ(broken, L"") << c.rect.left << "," << c.rect.top;
        else
            EXPECT_NE(broken.find(std::wstring(L"\"Edge\" (Static) ") + c.where), std::wstring::npos)
                << c.rect.left << "," << c.rect.top << ": " << broken;
    }
}

TEST(ScriptAtTheEdge, EachNumberTakesItsLimitAndRefusesOnePast)
{
    const std::wstring lastX = std::to_wstring(kDeviceScreenWidth - 1),
                       lastY = std::to_wstring(kDeviceScreenHeight - 1);
    const struct {
        std::wstring line;
        const wchar_t* why;  // a part of the refusal, or null for a good step
    } cases[] = {
        {L"tap 0 0", nullptr},
        {L"tap " + lastX + L" " + lastY, nullptr},
        {L"tap " + lastX + L" " + std::to_wstring(kDeviceScreenHeight), L"is off the screen"},
        {L"tap " + std::to_wstring(kDeviceScreenWidth) + L" " + lastY, L"is off the screen"},
        {L"tap 0 -1", L"is off the screen"},
        {L"tap 2147483648 0", L"tap takes two screen coordinates"},
        {L"tap 1.5 2", L"tap takes two screen coordinates"},
        {L"wait 0", nullptr},
        {L"wait -1", L"wait takes milliseconds from 0 to 60000"},
        {L"wait 60000", nullptr},
        {L"wait 60001", L"wait takes milliseconds from 0 to 60000"},
        {L"key", L"key takes up, down, left, right or action"},
        {L"\ttap\t1\t2\t", nullptr},
        {L"", L"unknown command \"\""},
    };
    for (const auto& c : cases) {
        ScriptStep step;
        std::wstring why;
        EXPECT_EQ(ParseStep(c.line, &step, &why), !c.why) << c.line;
        if (c.why) {
            EXPECT_NE(why.find(c.why), std::wstring::npos) << c.line << ": " << why;
        }
    }
}

TEST(ScriptAtTheEdge, NothingButAMarkOrBlankLinesIsAnEmptyScriptAndAMarkLaterIsAFault)
{
    const struct {
        const char* text;
        size_t steps;
        const wchar_t* error;  // a part of the message, or null for a good script
    } cases[] = {
        {"", 0, nullptr},
        {"\xEF\xBB\xBF", 0, nullptr},
        {" \t\r\n\r\n# only a comment", 0, nullptr},
        {"wait 1\nquit", 2, nullptr},  // the last line without its end
        {"wait 1\n\xEF\xBB\xBFquit\n", 0, L":2: unknown command \"\\uFEFFquit\""},
    };
    wchar_t path[MAX_PATH];
    GetTempPathW(MAX_PATH, path);
    lstrcatW(path, L"tolvane-edges-script.txt");
    for (const auto& c : cases) {
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, c.text, static_cast<DWORD>(strlen(c.text)), &written, nullptr);
        CloseHandle(file);
        std::vector<ScriptStep> steps;
        std::wstring error;
        EXPECT_EQ(ReadScript(path, &steps, &error), !c.error) << c.text;
        if (c.error)
            EXPECT_NE(error.find(c.error), std::wstring::npos) << c.text << ": " << error;
        else
            EXPECT_EQ(steps.size(), c.steps) << c.text;
    }
    DeleteFileW(path);
}

}  // namespace
