#include <windows.h>
#include <wchar.h>

#include "device/device_environment.h"
#include "device/include/ce_kernel.h"

namespace {

const DWORD kWin32OnCe = 3;  // VER_PLATFORM_WIN32_CE

// A variable of the device's environment, or the fallback when it is unset.
void ReadSetting(const wchar_t* name, const wchar_t* fallback, wchar_t* value, DWORD units)
{
    DWORD length = GetEnvironmentVariableW(name, value, units);
    if (length == 0 || length >= units)
        lstrcpynW(value, fallback, units);
}

BOOL AnswerPlatformType(UINT bytes, void* buffer)
{
    wchar_t platform[64];
    ReadSetting(kDevicePlatformVariable, kPocketPcPlatform, platform, ARRAYSIZE(platform));
    const UINT needed = (lstrlenW(platform) + 1) * sizeof(wchar_t);
    if (lstrcmpW(platform, kDesktopPlatform) == 0 || !buffer || bytes < needed) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    memcpy(buffer, platform, needed);
    return TRUE;
}

}  // namespace

extern "C" BOOL WINAPI DeviceSystemParametersInfoW(UINT action, UINT param, void* buffer, UINT winIni)
{
    if (action == SPI_GETPLATFORMTYPE)
        return AnswerPlatformType(param, buffer);
    return SystemParametersInfoW(action, param, buffer, winIni);
}

extern "C" BOOL WINAPI DeviceGetVersionExW(OSVERSIONINFOW* info)
{
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const DWORD size = info->dwOSVersionInfoSize;
    memset(info, 0, size < sizeof(OSVERSIONINFOEXW) ? size : sizeof(OSVERSIONINFOEXW));
    info->dwOSVersionInfoSize = size;

    wchar_t version[32];
    ReadSetting(kDeviceVersionVariable, L"3.0", version, ARRAYSIZE(version));
    unsigned major = 3, minor = 0;
    swscanf(version, L"%u.%u", &major, &minor);
    info->dwMajorVersion = major;
    info->dwMinorVersion = minor;
    info->dwBuildNumber = 126;
    info->dwPlatformId = kWin32OnCe;
    return TRUE;
}
