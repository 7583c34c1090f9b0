#include <windows.h>

#include "device/include/ce_kernel.h"
#include "item.h"

int DetectThemedShell()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    if (version.dwMajorVersion < 3)
        return 0;

    WCHAR platform[260] = {};
    if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(platform), platform, 0))
        return 0;
    return lstrcmpW(platform, L"PocketPC") == 0 ? 1 : 0;
}
