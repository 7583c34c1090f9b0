#include "gremlins.h"

#include "device/chrome/chrome.h"
#include "device/device_screen.h"
#include "today/runner/device_programs.h"
#include "today/shared/today_window.h"

namespace {

// The part of a row where an item has its cells: Tolvane's icon, cards,
// button and status all begin left of it.
const int kRowCellsWidth = 160;

const RECT kWholeScreen = {0, 0, kDeviceScreenWidth, kDeviceScreenHeight};

// What the device shows now, as the gremlins aim at it, in the device
// screen's coordinates.
struct Targets {
    std::vector<RECT> tappable;   // controls, rows, menus: each as likely
    std::vector<RECT> forbidden;  // Start > Close, and "Yes" unless asked for
    bool menuOpen = false;
    bool question = false;
};

RECT OnScreen(HWND window)
{
    const RECT screen = DeviceScreenRect();
    RECT rect;
    GetWindowRect(window, &rect);
    OffsetRect(&rect, -screen.left, -screen.top);
    IntersectRect(&rect, &rect, &kWholeScreen);
    return rect;
}

struct Gathering {
    Targets* targets;
    bool yes;
    bool rows;
};

BOOL CALLBACK GatherControl(HWND control, LPARAM lParam)
{
    auto& gathering = *reinterpret_cast<Gathering*>(lParam);
    if (!IsWindowVisible(control) || !IsWindowEnabled(control))
        return TRUE;
    RECT rect = OnScreen(control);
    wchar_t text[8] = L"";
    GetWindowTextW(control, text, 8);
    if (!gathering.yes && IsOfClass(control, L"Button") && lstrcmpW(text, L"Yes") == 0) {
        gathering.targets->forbidden.push_back(rect);
        gathering.targets->question = true;
        return TRUE;
    }
    if (gathering.rows)
        rect.right = rect.left + kRowCellsWidth < rect.right ? rect.left + kRowCellsWidth : rect.right;
    if (!IsRectEmpty(&rect))
        gathering.targets->tappable.push_back(rect);
    return TRUE;
}

Targets Gather(HANDLE programs, bool yes)
{
    Targets targets;
    for (HWND window : DeviceWindows(DeviceProcessIds(programs))) {
        const RECT rect = OnScreen(window);
        if (IsOfClass(window, L"#32768")) {
            // The Start menu: Settings, Soft Reset, then Close at its foot.
            targets.menuOpen = true;
            RECT close = rect;
            close.top = rect.bottom - (rect.bottom - rect.top) * 2 / 5;
            targets.forbidden.push_back(close);
            targets.tappable.push_back(rect);
        } else if (IsOfClass(window, L"ComboLBox")) {
            targets.tappable.push_back(rect);
        }
        Gathering gathering = {&targets, yes, IsOfClass(window, kShellClassName)};
        EnumChildWindows(window, GatherControl, reinterpret_cast<LPARAM>(&gathering));
    }
    return targets;
}

bool Forbidden(POINT point, const std::vector<RECT>& forbidden)
{
    for (const RECT& rect : forbidden) {
        if (PtInRect(&rect, point))
            return true;
    }
    return false;
}

const wchar_t* const kPadKeys[] = {L"up", L"down", L"left", L"right", L"action"};

}  // namespace

std::wstring Gremlins::TapIn(RECT rect, const std::vector<RECT>& forbidden)
{
    if (IsRectEmpty(&rect))
        rect = kWholeScreen;
    for (int tries = 0; tries < 100; ++tries) {
        const POINT point = {rect.left + Below(rect.right - rect.left), rect.top + Below(rect.bottom - rect.top)};
        if (!Forbidden(point, forbidden))
            return L"tap " + std::to_wstring(point.x) + L" " + std::to_wstring(point.y);
        rect = kWholeScreen;  // the target is all forbidden: anywhere else then
    }
    return L"key up";  // unreachable: forbidden places are small
}

std::wstring Gremlins::Next(HANDLE programs)
{
    const Targets targets = Gather(programs, yes);
    // Keys choose menu items and default buttons unseen: none while a menu
    // or a question is open.
    const bool keys = !targets.menuOpen && !targets.question;
    const bool shellInFront = !FrontDialog(DeviceProcessIds(programs)) && !targets.menuOpen;
    const int roll = Below(100);
    if (roll < 45 && !targets.tappable.empty())
        return TapIn(targets.tappable[Below(static_cast<int>(targets.tappable.size()))], targets.forbidden);
    if (roll < 50)  // Start
        return TapIn(kStartButton, targets.forbidden);
    if (roll < 55)
        return TapIn({0, 0, kDeviceScreenWidth, kTitleBarHeight}, targets.forbidden);
    if (roll < 60)
        return TapIn({0, kDeviceScreenHeight - kMenuBarHeight, kDeviceScreenWidth, kDeviceScreenHeight},
                     targets.forbidden);
    if (roll < 75 && keys)
        return std::wstring(L"key ") + kPadKeys[Below(5)];
    if (roll < 80 && FrontDialog(DeviceProcessIds(programs)))
        return L"close";
    if (roll < 83 && shellInFront)
        return L"settings";
    if (roll < 84)
        return L"reset";
    return TapIn(kWholeScreen, targets.forbidden);
}
