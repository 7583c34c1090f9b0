#include <windows.h>

#include "device/include/ce_kernel.h"
#include "game_session.h"
#include "item.h"

BOOL DetectThemedShell(HINSTANCE, DWORD reason, void*)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    gameSession.themedShell = 0;

    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    if (version.dwMajorVersion < 3)
        return TRUE;

    WCHAR platform[260] = {};
    if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(platform), platform, 0))
        return TRUE;
    if (lstrcmpW(platform, L"PocketPC") == 0)
        gameSession.themedShell = 1;
    return TRUE;
}
