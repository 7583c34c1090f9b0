#include "device.h"

#include <windows.h>
#include <stdio.h>

#include "device/device_environment.h"
#include "device/device_screen.h"
#include "device_window.h"
#include "screen.h"
#include "shell_window.h"

namespace {

const wchar_t kReadyEventName[] = L"TolvaneTodayReady";
const DWORD kBootTimeout = 30000;
const DWORD kTapSettle = 300;  // for the tap to reach the row and its repaint
const DWORD kSettleTimeout = 5000;

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

const ULONGLONG kNoDeadline = ~0ULL;

// The tick count at which a wait of so many milliseconds ends.
ULONGLONG Deadline(DWORD milliseconds)
{
    return milliseconds == INFINITE ? kNoDeadline : GetTickCount64() + milliseconds;
}

// Waits until one of the handles is set or the deadline passes, as
// WaitForMultipleObjects does, serving this thread's windows meanwhile: the
// device window, which the Today screen's windows send messages to as they
// come and go.
DWORD WaitServingWindows(DWORD count, const HANDLE* handles, ULONGLONG deadline)
{
    for (;;) {
        DWORD left = INFINITE;
        if (deadline != kNoDeadline) {
            const ULONGLONG now = GetTickCount64();
            left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        }
        const DWORD woken = MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + count)
            return woken;
        PumpMessages();
    }
}

class Device {
public:
    Device()
    {
        reset = CreateEventW(nullptr, FALSE, FALSE, kSoftResetEventName);
        ready = CreateEventW(nullptr, FALSE, FALSE, kReadyEventName);
        // Wine starts the program behind a desktop with the first one to ask
        // for it: ask here, so that the screen does not belong to the job
        // that a reset ends.
        GetDesktopWindow();
    }
    ~Device() { Stop(); }

    // Boots the Today screen; false when it did not come up.
    bool Boot()
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        wchar_t command[MAX_PATH + 32];
        swprintf(command, MAX_PATH + 32, L"\"%ls\" --shell", self);
        // Everything the device starts lives in one job, so a reset ends it all.
        programs = CreateJobObjectW(nullptr, nullptr);
        // The Today screen reports on our standard error.
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION process = {};
        ResetEvent(ready);
        if (!CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                            &process)) {
            fwprintf(stderr, L"today: cannot start the Today screen (error %lu)\n", GetLastError());
            return false;
        }
        AssignProcessToJobObject(programs, process.hProcess);
        ResumeThread(process.hThread);
        CloseHandle(process.hThread);
        shell = process.hProcess;
        HANDLE waits[] = {ready, shell};
        if (WaitServingWindows(2, waits, Deadline(kBootTimeout)) != WAIT_OBJECT_0) {
            fwprintf(stderr, L"today: the Today screen did not come up\n");
            return false;
        }
        return true;
    }

    void Stop()
    {
        if (programs) {
            TerminateJobObject(programs, 0);
            CloseHandle(programs);
            programs = nullptr;
        }
        if (shell) {
            TerminateProcess(shell, 0);  // where the job could not hold it
            WaitServingWindows(1, &shell, Deadline(5000));
            CloseHandle(shell);
            shell = nullptr;
        }
    }

    bool SoftReset()
    {
        Stop();
        return Boot();
    }

    // Lets the device run for a while, rebooting whenever something asks
    // for a soft reset. False once the Today screen has ended by itself.
    bool Run(DWORD milliseconds)
    {
        const ULONGLONG end = Deadline(milliseconds);
        for (;;) {
            HANDLE waits[] = {reset, shell};
            const DWORD woken = WaitServingWindows(2, waits, end);
            if (woken == WAIT_OBJECT_0) {
                if (!SoftReset())
                    return false;
            } else if (woken == WAIT_OBJECT_0 + 1) {
                return false;
            } else {
                return true;
            }
        }
    }

    // Lets what the screen is doing (a tap, the paints after it) finish.
    bool Settle()
    {
        const ULONGLONG end = Deadline(kSettleTimeout);
        while (shell && WaitForInputIdle(shell, 20) == WAIT_TIMEOUT && GetTickCount64() < end)
            PumpMessages();
        return true;
    }

    // Closes the Today screen as a user would, so its items hear of it.
    void Close()
    {
        HWND window = FindWindowW(kShellClassName, nullptr);
        if (window)
            PostMessageW(window, WM_CLOSE, 0, 0);
        if (shell)
            WaitServingWindows(1, &shell, Deadline(5000));
    }

private:
    HANDLE reset = nullptr;
    HANDLE ready = nullptr;
    HANDLE programs = nullptr;
    HANDLE shell = nullptr;
};

bool RunStep(Device& device, const ScriptStep& step)
{
    switch (step.kind) {
    case ScriptStep::kTap:
        TapScreen(step.x, step.y);
        return device.Run(kTapSettle) && device.Settle();
    case ScriptStep::kKey:
        PressKey(step.virtualKey);
        return device.Run(kTapSettle) && device.Settle();
    case ScriptStep::kWait:
        return device.Run(step.milliseconds);
    case ScriptStep::kScreenshot:
        device.Settle();
        if (!SaveScreenshot(step.path.c_str())) {
            fwprintf(stderr, L"today: line %d: cannot write the screenshot %ls\n", step.line, step.path.c_str());
            return false;
        }
        return true;
    case ScriptStep::kReset:
        return device.SoftReset();
    case ScriptStep::kSettings:
        PostMessageW(FindWindowW(kShellClassName, nullptr), WM_TODAY_OPENSETTINGS, 0, 0);
        return device.Run(kTapSettle) && device.Settle();
    case ScriptStep::kQuit:
        return true;
    }
    return false;
}

}  // namespace

// The device's screen: the desktop when it is the device's 240x320 virtual
// desktop, otherwise a device window of its own (closed with the device).
class DeviceScreen {
public:
    DeviceScreen() : window(DesktopIsDeviceScreen() ? nullptr : OpenDeviceWindow())
    {
        ready = DesktopIsDeviceScreen() || window;
        if (!ready)
            fwprintf(stderr, L"today: cannot open the device window (error %lu)\n", GetLastError());
    }
    ~DeviceScreen()
    {
        if (window)
            DestroyWindow(window);
    }
    // False, the reason said, when there is no screen to show the device on.
    bool Ready() const { return ready; }

private:
    HWND window;
    bool ready;
};

int RunDevice()
{
    DeviceScreen screen;
    if (!screen.Ready())
        return 1;
    Device device;
    if (!device.Boot())
        return 1;
    while (device.Run(INFINITE)) {
    }
    return 0;
}

int RunDeviceScript(const std::vector<ScriptStep>& steps)
{
    DeviceScreen screen;
    if (!screen.Ready())
        return 1;
    Device device;
    if (!device.Boot())
        return 1;
    for (const ScriptStep& step : steps) {
        if (step.kind == ScriptStep::kQuit)
            break;
        if (!RunStep(device, step)) {
            fwprintf(stderr, L"today: the script stopped at line %d\n", step.line);
            return 1;
        }
    }
    device.Close();
    return 0;
}
