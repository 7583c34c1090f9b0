// An item whose export 240 faults before it makes its window, as a broken
// item does; the Today screen must leave it out and go on.
#include <windows.h>

extern "C" HWND WINAPI InitializeCustomItem(void*, HWND)
{
    *static_cast<volatile int*>(nullptr) = 240;
    return nullptr;
}
