// The emulated device's installer: it installs a Windows CE installation
// cabinet as a device's installer does, reading the cabinet's setup file
// and doing what it says, and removes exactly what it installed.
//
//   install.exe install FILE.cab    install it (after removing an installed copy)
//   install.exe update FILE.cab     the same, only when it is installed already
//   install.exe uninstall [NAME]    remove what it installed (NAME: Tolvane)
#include <windows.h>
#include <stdio.h>

#include "device/installer/cabinet_reader.h"
#include "device/installer/installation.h"
#include "device/installer/setup_file.h"

namespace {

// The device's processor, as GetSystemInfo numbers it on Windows CE too
// (PROCESSOR_AMD_X8664 here), and its Windows CE version from coredll.
DeviceFacts ThisDevice()
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    return {system.dwProcessorType, version.dwMajorVersion, version.dwMinorVersion};
}

int Install(const wchar_t* cabinet, bool onlyUpdate)
{
    CabinetFiles files;  // the plan's files point into them
    InstallPlan plan;
    try {
        files = ReadCabinet(cabinet);
        plan = ReadSetupFile(files, ThisDevice());
    } catch (const SetupFault& fault) {
        fwprintf(stderr, L"install: %ls: %hs; nothing was installed\n", cabinet, fault.what());
        return 1;
    }
    const bool installed = IsInstalled(plan.appName);
    if (onlyUpdate && !installed)
        return 0;
    if (installed) {
        const std::wstring fault = RemoveInstalled(plan.appName);
        if (!fault.empty()) {
            fwprintf(stderr, L"install: %ls: the installed %ls: %ls; nothing was installed\n", cabinet,
                     plan.appName.c_str(), fault.c_str());
            return 1;
        }
    }
    const std::wstring fault = CommitPlan(plan);
    if (!fault.empty()) {
        fwprintf(stderr, L"install: %ls: %ls; nothing was installed\n", cabinet, fault.c_str());
        return 1;
    }
    wprintf(L"%ls installed (files: %u, registry values: %u)\n", plan.appName.c_str(),
            static_cast<unsigned>(plan.files.size()), static_cast<unsigned>(plan.values.size()));
    return 0;
}

int Uninstall(const wchar_t* appName)
{
    if (!IsInstalled(appName)) {
        wprintf(L"%ls is not installed\n", appName);
        return 0;
    }
    const std::wstring fault = RemoveInstalled(appName);
    if (!fault.empty()) {
        fwprintf(stderr, L"uninstall: %ls: %ls\n", appName, fault.c_str());
        return 1;
    }
    wprintf(L"%ls uninstalled\n", appName);
    return 0;
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 3 && lstrcmpW(argv[1], L"install") == 0)
        return Install(argv[2], false);
    if (argc == 3 && lstrcmpW(argv[1], L"update") == 0)
        return Install(argv[2], true);
    if ((argc == 2 || argc == 3) && lstrcmpW(argv[1], L"uninstall") == 0)
        return Uninstall(argc == 3 ? argv[2] : L"Tolvane");
    fwprintf(stderr, L"usage: install.exe install|update FILE.cab, or install.exe uninstall [NAME]\n");
    return 2;
}
