#include "device.h"

#include <windows.h>
#include <stdio.h>

#include "device/device_environment.h"
#include "screen.h"
#include "shell_window.h"

namespace {

const wchar_t kReadyEventName[] = L"TolvaneTodayReady";
const DWORD kBootTimeout = 30000;
const DWORD kTapSettle = 300;  // for the tap to reach the row and its repaint
const DWORD kSettleTimeout = 5000;

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
        if (WaitForMultipleObjects(2, waits, FALSE, kBootTimeout) != WAIT_OBJECT_0) {
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
            WaitForSingleObject(shell, 5000);
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
        const ULONGLONG end = GetTickCount64() + milliseconds;
        for (;;) {
            const ULONGLONG now = GetTickCount64();
            HANDLE waits[] = {reset, shell};
            DWORD woken = WaitForMultipleObjects(2, waits, FALSE, now >= end ? 0 : static_cast<DWORD>(end - now));
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
        if (shell)
            WaitForInputIdle(shell, kSettleTimeout);
        return true;
    }

    // Closes the Today screen as a user would, so its items hear of it.
    void Close()
    {
        HWND window = FindWindowW(kShellClassName, nullptr);
        if (window)
            PostMessageW(window, WM_CLOSE, 0, 0);
        if (shell)
            WaitForSingleObject(shell, 5000);
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

int RunDevice()
{
    Device device;
    if (!device.Boot())
        return 1;
    while (device.Run(INFINITE)) {
    }
    return 0;
}

int RunDeviceScript(const std::vector<ScriptStep>& steps)
{
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
