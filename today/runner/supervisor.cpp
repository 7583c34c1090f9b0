#include "supervisor.h"

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "device/device_environment.h"
#include "device/device_screen.h"
#include "quiet.h"
#include "screenshot.h"
#include "today/shared/today_window.h"

namespace {

const DWORD kBootTimeout = 30000;
// How often a step looks at the device while it waits for it to be quiet,
// and how many looks in a row must find it so: a tap reaches its window
// only once that window's thread takes it from its queue.
const DWORD kQuietLook = 15;
const int kQuietLooks = 3;

// How long a step may wait for the device to be quiet: 30 s, or the seconds
// TOLVANE_QUIET_SECONDS says (more for a slower machine, less for a test
// that expects the limit).
DWORD QuietLimit()
{
    wchar_t text[16];
    const DWORD length = GetEnvironmentVariableW(L"TOLVANE_QUIET_SECONDS", text, 16);
    const unsigned long seconds = length > 0 && length < 16 ? wcstoul(text, nullptr, 10) : 0;
    return (seconds > 0 && seconds < 86400 ? seconds : 30) * 1000;
}

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

// Names what changed between two looks at the screen.
std::wstring ChangeOf(const std::vector<DWORD>& before, const std::vector<DWORD>& after)
{
    if (before.size() != after.size())
        return L"the screen is still changing";
    const RECT screen = DeviceScreenRect();
    const int width = screen.right - screen.left;
    const auto changed = std::mismatch(before.begin(), before.end(), after.begin()).first - before.begin();
    return ScreenChangingAt(
        {screen.left + static_cast<int>(changed % width), screen.top + static_cast<int>(changed / width)});
}

}  // namespace

DeviceSupervisor::DeviceSupervisor()
{
    reset = CreateEventW(nullptr, FALSE, FALSE, kSoftResetEventName);
    ready = CreateEventW(nullptr, FALSE, FALSE, kShellReadyEventName);
    // Wine takes a while to load a program: the Today screen loads while
    // the screen comes up, and waits to hear of it (from Boot) before it
    // asks for anything of it.
    Start();
    // Wine starts the program behind a desktop with the first one to ask
    // for it: ask here, so that the screen does not belong to the job
    // that a reset ends.
    GetDesktopWindow();
    // Input goes to one desktop of the session: make it the device's, or
    // Wine 10 refuses our taps and keys and drops a person's clicks when
    // another desktop (the host-sized one wineboot or a test starts on)
    // came first.
    SwitchDesktop(GetThreadDesktop(GetCurrentThreadId()));
    screen.emplace();
}

DeviceSupervisor::~DeviceSupervisor()
{
    Stop();
}

bool DeviceSupervisor::Start()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    // Everything the device starts lives in one job, so a reset ends it
    // all, and so does the end of this process, however it ends.
    programs = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(programs, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    // The Today screen reports on our standard error.
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    ResetEvent(ready);
    // The first program to ask Wine for the screen starts it, and that must
    // not be one of the device's programs, which a reset ends: the Today
    // screen waits to hear of its screen on a pipe it inherits.
    SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
    HANDLE hears = nullptr;
    bool started = CreatePipe(&hears, &screenNews, &inherited, 0);
    if (started) {
        SetHandleInformation(screenNews, HANDLE_FLAG_INHERIT, 0);
        wchar_t command[MAX_PATH + 48];
        swprintf(command, MAX_PATH + 48, L"\"%ls\" --shell %llu", self,
                 static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hears)));
        started = CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                                 &process);
        CloseHandle(hears);
    }
    if (!started) {
        fwprintf(stderr, L"today: cannot start the Today screen (error %lu)\n", GetLastError());
        return false;
    }
    AssignProcessToJobObject(programs, process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    shell = process.hProcess;
    ++boots;
    return true;
}

void DeviceSupervisor::TellScreen()
{
    const unsigned long long window = reinterpret_cast<UINT_PTR>(DeviceWindowHandle());
    DWORD written = 0;
    WriteFile(screenNews, &window, sizeof(window), &written, nullptr);
    CloseHandle(screenNews);
    screenNews = nullptr;
}

bool DeviceSupervisor::Boot()
{
    if (!screen->Ready() || (!shell && !Start()))
        return false;
    if (screenNews)
        TellScreen();
    HANDLE waits[] = {ready, shell};
    if (WaitServingWindows(2, waits, Deadline(kBootTimeout)) != WAIT_OBJECT_0) {
        fwprintf(stderr, L"today: the Today screen did not come up\n");
        return false;
    }
    return true;
}

void DeviceSupervisor::Stop()
{
    if (screenNews) {
        CloseHandle(screenNews);
        screenNews = nullptr;
    }
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

bool DeviceSupervisor::SoftReset()
{
    Stop();
    return Boot();
}

bool DeviceSupervisor::Run(DWORD milliseconds)
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

bool DeviceSupervisor::WaitUntilQuiet(const std::wstring& place)
{
    const DWORD limit = QuietLimit();
    const ULONGLONG end = Deadline(limit);
    // The first look already compares with the screen as the wait began.
    std::vector<DWORD> shown = CaptureScreen();
    std::wstring lastBusy = L"the screen is still changing";
    for (int quiet = 0; quiet < kQuietLooks;) {
        if (!Run(kQuietLook))
            return false;
        std::vector<DWORD> now = CaptureScreen();
        std::wstring busy = DeviceBusyWith(programs);
        if (busy.empty() && now != shown)
            busy = ChangeOf(shown, now);
        shown.swap(now);
        quiet = busy.empty() ? quiet + 1 : 0;
        if (!busy.empty())
            lastBusy = busy;
        if (quiet < kQuietLooks && GetTickCount64() >= end) {
            fwprintf(stderr, L"today: %ls: the device was not quiet within %lu s: %ls\n", place.c_str(), limit / 1000,
                     lastBusy.c_str());
            return false;
        }
    }
    return true;
}

void DeviceSupervisor::Close()
{
    HWND window = FindWindowW(kShellClassName, nullptr);
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (shell)
        WaitServingWindows(1, &shell, Deadline(5000));
}

bool DeviceSupervisor::ShellRunning() const
{
    return shell && WaitForSingleObject(shell, 0) == WAIT_TIMEOUT;
}

DWORD DeviceSupervisor::ShellExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (shell)
        GetExitCodeProcess(shell, &code);
    return code;
}

int RunDevice()
{
    DeviceSupervisor device;
    if (!device.Boot())
        return 1;
    while (device.Run(INFINITE)) {
    }
    return 0;
}
