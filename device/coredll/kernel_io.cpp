#include <windows.h>

#include "device/device_environment.h"
#include "device/include/ce_kernel.h"

// A soft reset asks the device's shell to restart it, which ends every
// program of the device. Without a shell there is nothing to reset, and the
// call fails as a failed reset does.
static BOOL RequestSoftReset()
{
    HANDLE reset = OpenEventW(EVENT_MODIFY_STATE, FALSE, kSoftResetEventName);
    if (!reset) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    BOOL requested = SetEvent(reset);
    CloseHandle(reset);
    return requested;
}

extern "C" BOOL WINAPI DeviceKernelIoControl(DWORD code, void*, DWORD, void*, DWORD, DWORD* returned)
{
    if (returned)
        *returned = 0;
    if (code == IOCTL_HAL_REBOOT)
        return RequestSoftReset();
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
