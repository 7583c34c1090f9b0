#pragma once

// Starting a program of the device that goes on by itself: nothing waits for
// it, and no handle of it is kept.
#include <windows.h>

#include <string>

// False when it cannot start; GetLastError then says why.
inline bool StartProgram(std::wstring command)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
