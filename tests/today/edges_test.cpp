#include <gtest/gtest.h>

#include <string>

#include "device/device_screen.h"
#include "today/runner/device_rules.h"

// The device's rules at their edges: the last value each takes, and the
// first it refuses.
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

}  // namespace
