#pragma once

#include <windows.h>

// Registers a window class of this program with the arrow cursor; a class
// that is registered already stays as it is. Answers the instance.
inline HINSTANCE RegisterProgramClass(const wchar_t* name, WNDPROC procedure)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassW(&wc);
    return wc.hInstance;
}
