#pragma once

// Windows CE kernel calls and values that the desktop headers lack. On the
// emulated device they come from our coredll.dll.
#include <windows.h>

#define SPI_GETPLATFORMTYPE 257
#define SPI_GETOEMINFO 258

// On CE the COLOR_* indices carry this flag; the desktop's are plain.
#define SYS_COLOR_INDEX_FLAG 0x40000000

#define IOCTL_HAL_REBOOT 0x0101003C

#ifdef __cplusplus
extern "C" {
#endif
BOOL WINAPI KernelIoControl(DWORD dwIoControlCode, LPVOID lpInBuf, DWORD nInBufSize, LPVOID lpOutBuf, DWORD nOutBufSize,
                            LPDWORD lpBytesReturned);
#ifdef __cplusplus
}
#endif
