#include "device_rules.h"

#include <stdio.h>

#include <algorithm>

#include "device/chrome/chrome.h"
#include "device/device_screen.h"
#include "device_programs.h"
#include "supervisor.h"
#include "today/shared/today_window.h"

namespace {

const wchar_t kRuleInsideScreen[] = L"every window inside the screen";
const wchar_t kRuleRowPainted[] = L"the rows show what their items paint";
const wchar_t kRuleNoCrash[] = L"no program crashed";
const wchar_t kRuleAnswers[] = L"every program answers";
const wchar_t kRuleObjects[] = L"objects within bounds";
const wchar_t kRuleEnabled[] = L"the Today screen enabled without a dialog";
const wchar_t kRuleTitleBar[] = L"every dialog with its title bar";

// How long the Today screen may take to answer a rule's question.
const UINT kAnswerLimit = 5000;
// More windows than the device ever shows at once, its dialogs' controls
// included; more drawing objects than it ever needs on top of those it
// made as it came up.
const size_t kMaxWindows = 200;
const size_t kMaxNewDrawingObjects = 1000;
// Counting the drawing objects fills the Today screen's handle table
// (Wine's GetGuiResources answers 0): not after every step.
const long kStepsPerObjectCount = 25;

// A dialog the shell library made full screen has no caption of its own:
// its title and its ok are in the title bar over it, there while it is.
std::wstring DialogWithoutTitleBar(const std::vector<HWND>& windows)
{
    for (HWND dialog : windows) {
        if (!IsOfClass(dialog, L"#32770") || (GetWindowLongPtrW(dialog, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
            continue;
        if (std::none_of(windows.begin(), windows.end(), [dialog](HWND bar) {
                return IsOfClass(bar, kDoneBarClassName) && GetWindow(bar, GW_OWNER) == dialog;
            }))
            return L"the dialog " + Describe(dialog) + L" is shown without its title bar";
    }
    return L"";
}

std::wstring StaleRow(HWND shell)
{
    DWORD_PTR row = 0;
    if (!shell || !SendMessageTimeoutW(shell, WM_TODAY_CHECKROWS, 0, 0, SMTO_ABORTIFHUNG, kAnswerLimit, &row) || !row)
        return L"";
    return L"row " + std::to_wstring(row) + L" on the screen is not what its item paints now";
}

std::wstring DisabledAlone(HWND shell, const std::vector<HWND>& windows)
{
    if (!shell || IsWindowEnabled(shell))
        return L"";
    for (HWND window : windows) {
        if (window != shell)
            return L"";  // a dialog of it is open
    }
    return L"the Today screen is disabled and no dialog is open";
}

BOOL CALLBACK CountWindow(HWND window, LPARAM lParam)
{
    ++*reinterpret_cast<size_t*>(lParam);
    EnumChildWindows(window, CountWindow, lParam);
    return TRUE;
}

struct Counting {
    const std::vector<DWORD>* ids;
    size_t count;
};

BOOL CALLBACK CountDeviceWindows(HWND window, LPARAM lParam)
{
    auto& counting = *reinterpret_cast<Counting*>(lParam);
    if (IsDeviceWindow(window, *counting.ids)) {
        ++counting.count;
        EnumChildWindows(window, CountWindow, reinterpret_cast<LPARAM>(&counting.count));
    }
    return TRUE;
}

// An exception's status, as a crashed program ends with it.
bool IsCrashStatus(DWORD code)
{
    return code >= 0xC0000000 && code != STILL_ACTIVE;
}

}  // namespace

std::wstring OutsideTheScreen(const std::vector<HWND>& windows)
{
    const RECT screen = DeviceScreenRect();
    for (HWND window : windows) {
        RECT rect;
        GetWindowRect(window, &rect);
        if (rect.left < screen.left || rect.top < screen.top || rect.right > screen.right ||
            rect.bottom > screen.bottom) {
            wchar_t where[80];
            swprintf(where, 80, L" lies at (%ld, %ld)-(%ld, %ld)", rect.left - screen.left, rect.top - screen.top,
                     rect.right - screen.left, rect.bottom - screen.top);
            return L"the window " + Describe(window) + where;
        }
    }
    return L"";
}

DeviceRules::~DeviceRules()
{
    for (HANDLE process : watched)
        CloseHandle(process);
}

std::wstring DeviceRules::Crashed(const DeviceSupervisor& device)
{
    if (!device.ShellRunning()) {
        wchar_t why[64];
        swprintf(why, 64, L"the Today screen ended (status 0x%lX)", device.ShellExitCode());
        return why;
    }
    for (DWORD id : DeviceProcessIds(device.Programs())) {
        if (std::find(watchedIds.begin(), watchedIds.end(), id) != watchedIds.end())
            continue;
        if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)) {
            watched.push_back(process);
            watchedIds.push_back(id);
        }
    }
    for (size_t i = 0; i < watched.size(); ++i) {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(watched[i], &code);
        wchar_t path[MAX_PATH] = L"";
        DWORD length = MAX_PATH;
        QueryFullProcessImageNameW(watched[i], 0, path, &length);
        // Wine's debugger comes to a program that has crashed.
        CharLowerW(path);
        wchar_t why[MAX_PATH + 64];
        if (IsCrashStatus(code))
            swprintf(why, MAX_PATH + 64, L"%ls ended with the exception 0x%lX", path, code);
        else if (wcsstr(path, L"\\winedbg.exe"))
            swprintf(why, MAX_PATH + 64, L"Wine's debugger came to a program that crashed");
        else
            continue;
        return why;
    }
    return L"";
}

std::wstring DeviceRules::TooManyObjects(HWND shell, const std::vector<DWORD>& ids)
{
    Counting counting = {&ids, 0};
    EnumWindows(CountDeviceWindows, reinterpret_cast<LPARAM>(&counting));
    if (counting.count > kMaxWindows)
        return std::to_wstring(counting.count) + L" windows, more than " + std::to_wstring(kMaxWindows);
    DWORD_PTR headroom = 0;
    if (objectChecks++ % kStepsPerObjectCount != 0 ||
        !SendMessageTimeoutW(shell, WM_TODAY_GDIHEADROOM, 0, 0, SMTO_ABORTIFHUNG, kAnswerLimit, &headroom))
        return L"";
    if (!headroomAtBoot)
        headroomAtBoot = headroom;
    if (headroom + kMaxNewDrawingObjects < headroomAtBoot)
        return L"the Today screen holds " + std::to_wstring(headroomAtBoot - headroom) +
               L" more drawing objects than when it came up";
    return L"";
}

BrokenRule DeviceRules::Check(DeviceSupervisor& device, bool quiet)
{
    if (device.Boots() != boots) {
        // A new Today screen: the programs and objects of the last are gone.
        for (HANDLE process : watched)
            CloseHandle(process);
        watched.clear();
        watchedIds.clear();
        boots = device.Boots();
        headroomAtBoot = 0;
        objectChecks = 0;
    }
    ++checked;
    const std::wstring crashed = Crashed(device);
    if (!crashed.empty())
        return {kRuleNoCrash, crashed};
    ++checked;
    if (!quiet)
        return {kRuleAnswers, L"the device was not quiet within the step limit"};
    const std::vector<DWORD> ids = DeviceProcessIds(device.Programs());
    const std::vector<HWND> windows = DeviceWindows(ids);
    const HWND shell = FindWindowW(kShellClassName, nullptr);
    const struct {
        const wchar_t* name;
        std::wstring broken;
    } rules[] = {
        {kRuleInsideScreen, OutsideTheScreen(windows)},
        {kRuleTitleBar, DialogWithoutTitleBar(windows)},
        {kRuleEnabled, DisabledAlone(shell, windows)},
        {kRuleObjects, TooManyObjects(shell, ids)},
        {kRuleRowPainted, StaleRow(shell)},
    };
    for (const auto& rule : rules) {
        ++checked;
        if (!rule.broken.empty())
            return {rule.name, rule.broken};
    }
    return {};
}
