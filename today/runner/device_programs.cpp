#include "device_programs.h"

#include <stddef.h>

#include "today/shared/today_window.h"

std::vector<DWORD> DeviceProcessIds(HANDLE programs)
{
    // The list's header, then its ids: room for more programs than the
    // device ever runs at once.
    ULONG_PTR list[1 + 64] = {};
    auto header = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(list);
    header->NumberOfAssignedProcesses = 64;
    if (!QueryInformationJobObject(programs, JobObjectBasicProcessIdList, list, sizeof(list), nullptr))
        return {};
    // Past the one id the record declares, so not through its array.
    const auto ids = reinterpret_cast<const ULONG_PTR*>(reinterpret_cast<const char*>(list) +
                                                        offsetof(JOBOBJECT_BASIC_PROCESS_ID_LIST, ProcessIdList));
    return std::vector<DWORD>(ids, ids + header->NumberOfProcessIdsInList);
}

bool IsDeviceWindow(HWND window, const std::vector<DWORD>& ids)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    for (DWORD each : ids) {
        if (each == id)
            return true;
    }
    return false;
}

namespace {

struct Shown {
    const std::vector<DWORD>* ids;
    std::vector<HWND> windows;
};

BOOL CALLBACK AddShown(HWND window, LPARAM lParam)
{
    auto& shown = *reinterpret_cast<Shown*>(lParam);
    if (IsWindowVisible(window) && IsDeviceWindow(window, *shown.ids))
        shown.windows.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> DeviceWindows(const std::vector<DWORD>& ids)
{
    Shown shown = {&ids, {}};
    EnumWindows(AddShown, reinterpret_cast<LPARAM>(&shown));
    return shown.windows;
}

bool IsOfClass(HWND window, const wchar_t* className)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return lstrcmpW(name, className) == 0;
}

std::wstring Describe(HWND window)
{
    wchar_t title[64] = L"", kind[64] = L"";
    GetWindowTextW(window, title, 64);
    GetClassNameW(window, kind, 64);
    return std::wstring(L"\"") + title + L"\" (" + kind + L")";
}

HWND FrontDialog(const std::vector<DWORD>& ids)
{
    HWND front = GetForegroundWindow();
    if (!front || !IsDeviceWindow(front, ids) || IsOfClass(front, kShellClassName))
        return nullptr;
    return front;
}
