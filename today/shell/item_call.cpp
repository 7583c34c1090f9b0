#include "item_call.h"

#include <stdio.h>

namespace {

const DWORD kHangMilliseconds = 5000;

// The one guarded call of the shell's thread: where to go back to when the
// item faults, and below which stack address the way back may run.
struct Guard {
    void* jumpBuffer[5];
    DWORD thread = 0;
    DWORD fault = 0;
    ULONG_PTR stackBelow = 0;
    HMODULE item = nullptr;
    LPTOP_LEVEL_EXCEPTION_FILTER previous = nullptr;
};
Guard guard;

[[noreturn]] void JumpBack()
{
    __builtin_longjmp(guard.jumpBuffer, 1);
}

// The system itself resumes the thread, on a stack below the guarded call,
// in JumpBack.
LONG EndTheCall(EXCEPTION_POINTERS* exception)
{
    guard.thread = 0;
    guard.fault = exception->ExceptionRecord->ExceptionCode;
#if defined(_M_X64) || defined(__x86_64__)
    exception->ContextRecord->Rsp = (guard.stackBelow & ~ULONG_PTR(15)) - 8;  // as on entry to a function
    exception->ContextRecord->Rip = reinterpret_cast<ULONG_PTR>(&JumpBack);
#else
    exception->ContextRecord->Esp = (guard.stackBelow & ~ULONG_PTR(15)) - 4;
    exception->ContextRecord->Eip = reinterpret_cast<ULONG_PTR>(&JumpBack);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

// A fault in the item's own code ends the call before any handler of the
// frames between sees it: Wine's dispatcher of window procedures (the Today
// screen loads its items in WM_CREATE) would swallow it, and with it the
// rest of the load, without a word.
LONG WINAPI ItemCodeFault(EXCEPTION_POINTERS* exception)
{
    HMODULE faulted = nullptr;
    if (guard.thread != GetCurrentThreadId() ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(exception->ExceptionRecord->ExceptionAddress), &faulted) ||
        faulted != guard.item)
        return EXCEPTION_CONTINUE_SEARCH;
    return EndTheCall(exception);
}

// Any other fault (in a system library the item called) reaches this filter
// only when nothing handled it, so Wine's own exception handlers keep
// working.
LONG WINAPI FaultFilter(EXCEPTION_POINTERS* exception)
{
    if (guard.thread != GetCurrentThreadId())
        return guard.previous ? guard.previous(exception) : EXCEPTION_CONTINUE_SEARCH;
    return EndTheCall(exception);
}

struct HangWatch {
    HANDLE returned;
    const wchar_t* name;
};

DWORD WINAPI WatchForHang(void* parameter)
{
    const HangWatch* watch = static_cast<const HangWatch*>(parameter);
    if (WaitForSingleObject(watch->returned, kHangMilliseconds) == WAIT_TIMEOUT)
        fwprintf(stderr,
                 L"today: item \"%ls\" has not returned from export 240 in %lu seconds; the Today screen "
                 L"waits for it\n",
                 watch->name, kHangMilliseconds / 1000);
    return 0;
}

// noinline: the jump back restores this frame, which must be its own.
__attribute__((noinline)) bool GuardedCall(PFNCUSTOMINITIALIZEITEM initialize, TODAYLISTITEM* record, HWND parent,
                                           HWND* window)
{
    char stackMark;
    if (__builtin_setjmp(guard.jumpBuffer))
        return false;
    guard.stackBelow = reinterpret_cast<ULONG_PTR>(&stackMark) - 4096;
    guard.fault = 0;
    guard.thread = GetCurrentThreadId();
    *window = initialize(record, parent);
    guard.thread = 0;
    return true;
}

}  // namespace

bool CallInitializeItem(PFNCUSTOMINITIALIZEITEM initialize, TODAYLISTITEM* record, HWND parent, HWND* window,
                        DWORD* fault)
{
    HangWatch watch = {CreateEventW(nullptr, TRUE, FALSE, nullptr), record->szName};
    HANDLE watcher = watch.returned ? CreateThread(nullptr, 0, WatchForHang, &watch, 0, nullptr) : nullptr;
    guard.item = record->hinstDLL;
    guard.previous = SetUnhandledExceptionFilter(FaultFilter);
    void* first = AddVectoredExceptionHandler(1, ItemCodeFault);
    *window = nullptr;
    const bool returned = GuardedCall(initialize, record, parent, window);
    if (first)
        RemoveVectoredExceptionHandler(first);
    SetUnhandledExceptionFilter(guard.previous);
    *fault = guard.fault;
    if (watcher) {
        SetEvent(watch.returned);
        WaitForSingleObject(watcher, INFINITE);  // it ends at once now
        CloseHandle(watcher);
    }
    if (watch.returned)
        CloseHandle(watch.returned);
    return returned;
}
