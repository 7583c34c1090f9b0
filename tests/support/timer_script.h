#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// Drives what a modal loop shows, from a timer on this thread: one step at
// a time, each answering true once it has done its part. A script that
// stalls ends every modal loop with WM_QUIT, which it then takes back.
class TimerScript {
public:
    explicit TimerScript(std::vector<std::function<bool()>> steps) : steps(std::move(steps))
    {
        active = this;
        timer = SetTimer(nullptr, 0, 30, OnTimer);
    }
    ~TimerScript()
    {
        KillTimer(nullptr, timer);
        active = nullptr;
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    bool Finished() const { return next == steps.size(); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        if (!active || active->Finished())
            return;
        if (active->steps[active->next]())
            ++active->next;
        else if (++active->ticks > 200)
            PostQuitMessage(0);
    }
    static inline TimerScript* active = nullptr;
    std::vector<std::function<bool()>> steps;
    size_t next = 0;
    int ticks = 0;
    UINT_PTR timer;
};

// The visible dialog or message box of this thread that owner owns.
inline HWND OwnedDialog(HWND owner)
{
    struct Search {
        HWND owner, found;
    } search = {owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) {
            auto s = reinterpret_cast<Search*>(lParam);
            wchar_t name[16];
            GetClassNameW(window, name, 16);
            if (!lstrcmpW(name, L"#32770") && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == s->owner)
                s->found = window;
            return s->found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
