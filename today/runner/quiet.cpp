#include "quiet.h"

#include <vector>

#include "device_programs.h"

namespace {

// How long a window's thread may take to answer before it counts as busy.
const UINT kAnswerMilliseconds = 100;

std::wstring ProgramName(HANDLE process)
{
    wchar_t path[MAX_PATH];
    DWORD length = MAX_PATH;
    if (!QueryFullProcessImageNameW(process, 0, path, &length))
        return L"a program";
    const wchar_t* name = wcsrchr(path, L'\\');
    return name ? name + 1 : path;
}

struct Search {
    const std::vector<DWORD>* ids;
    std::wstring busy;
};

// A window shown with part of it still to paint.
BOOL CALLBACK FindUnpainted(HWND window, LPARAM lParam)
{
    auto& search = *reinterpret_cast<Search*>(lParam);
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        search.busy = L"the window " + Describe(window) + L" has a paint pending";
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindBusyWindow(HWND window, LPARAM lParam)
{
    auto& search = *reinterpret_cast<Search*>(lParam);
    if (!IsDeviceWindow(window, *search.ids))
        return TRUE;
    // Its thread answers only once it is back at its message loop.
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMilliseconds, nullptr)) {
        search.busy = L"the window " + Describe(window) + L" does not answer";
        return FALSE;
    }
    FindUnpainted(window, lParam);
    if (search.busy.empty())
        EnumChildWindows(window, FindUnpainted, lParam);
    return search.busy.empty();
}

// Whether the process shows a window of its own: every program of the
// device does once it has started.
BOOL CALLBACK FindShownWindow(HWND window, LPARAM lParam)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (id == *reinterpret_cast<DWORD*>(lParam) && IsWindowVisible(window)) {
        *reinterpret_cast<DWORD*>(lParam) = 0;
        return FALSE;
    }
    return TRUE;
}

bool ShowsAWindow(DWORD process)
{
    EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&process));
    return process == 0;
}

}  // namespace

std::wstring ScreenChangingAt(POINT point)
{
    HWND window = WindowFromPoint(point);
    return (window ? L"the window " + Describe(window) : L"something") + L" is still changing the screen";
}

std::wstring DeviceBusyWith(HANDLE programs)
{
    const std::vector<DWORD> ids = DeviceProcessIds(programs);
    for (DWORD id : ids) {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
        if (!process)
            continue;  // gone already
        // A program just started has not reached its message loop yet. Our
        // own are console programs, which have no idle state to wait for
        // (WaitForInputIdle fails at once): they have started once they
        // show a window.
        const bool starting = WaitForInputIdle(process, 0) == WAIT_TIMEOUT || !ShowsAWindow(id);
        const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        const std::wstring name = ProgramName(process);
        CloseHandle(process);
        if (starting && running)
            return name + L" has not shown its window yet";
    }
    Search search = {&ids, L""};
    EnumWindows(FindBusyWindow, reinterpret_cast<LPARAM>(&search));
    return search.busy;
}
