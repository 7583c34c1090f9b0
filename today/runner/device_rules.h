#pragma once

#include <windows.h>

#include <string>
#include <vector>

class DeviceSupervisor;

// What must hold on the device after every step; a broken rule goes by its
// name.
struct BrokenRule {
    const wchar_t* name = nullptr;  // null while every rule holds
    std::wstring detail;
};

// The rule "every window inside the screen": the first of the windows that
// reaches past the device's screen, and where it lies; empty when none does.
std::wstring OutsideTheScreen(const std::vector<HWND>& windows);

class DeviceRules {
public:
    ~DeviceRules();

    // Checks every rule after a step; quiet says whether the step ended
    // with the device quiet. The first broken rule, or a null name.
    BrokenRule Check(DeviceSupervisor& device, bool quiet);

    long checked = 0;

private:
    std::wstring Crashed(const DeviceSupervisor& device);
    std::wstring TooManyObjects(HWND shell, const std::vector<DWORD>& ids);

    int boots = 0;
    std::vector<HANDLE> watched;  // the device's processes seen since its boot
    std::vector<DWORD> watchedIds;
    size_t headroomAtBoot = 0;
    long objectChecks = 0;
};
