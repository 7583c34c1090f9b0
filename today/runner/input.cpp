#include "input.h"

#include <vector>

#include "device/device_screen.h"
#include "device_programs.h"

namespace {

// A point of the device's screen; absolute positions run from 0 to 65535
// across the whole desktop.
INPUT StylusAt(int x, int y, DWORD action)
{
    const RECT screen = DeviceScreenRect();
    x += screen.left;
    y += screen.top;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // In 64 bits: a coordinate of 32768 or more times 65536 overflows an int.
    input.mi.dx = static_cast<LONG>((x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((y * 65536LL + height - 1) / height);
    input.mi.dwFlags = action | MOUSEEVENTF_ABSOLUTE;
    return input;
}

// Suspends or resumes every thread of a process: ntdll's calls, which no
// header declares.
void ProcessCall(const char* name, HANDLE process)
{
    using Call = LONG(WINAPI*)(HANDLE);
    if (auto call =
            reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name))))
        call(process);
}

}  // namespace

void TapScreen(HANDLE programs, int x, int y)
{
    // Each event carries its position, so a press cannot land where the
    // pointer was before.
    INPUT tap[] = {StylusAt(x, y, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN),
                   StylusAt(x, y, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP)};
    // The press and the release reach the device together, its programs
    // held still between them: Wine moves the cursor to where the display's
    // pointer is whenever a program grabs it (a caption's drag, a menu), and
    // a release queued after that lands there, dragging a window with it or
    // missing the button it was pressed on.
    std::vector<HANDLE> held;
    for (DWORD id : DeviceProcessIds(programs)) {
        if (HANDLE process = OpenProcess(PROCESS_SUSPEND_RESUME, FALSE, id))
            held.push_back(process);
    }
    for (HANDLE process : held)
        ProcessCall("NtSuspendProcess", process);
    SendInput(2, tap, sizeof(INPUT));
    for (HANDLE process : held) {
        ProcessCall("NtResumeProcess", process);
        CloseHandle(process);
    }
}

void PressKey(WORD virtualKey)
{
    INPUT press[2] = {};
    for (INPUT& input : press) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
    }
    press[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, press, sizeof(INPUT));
}
