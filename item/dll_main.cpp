#include <windows.h>

#include "item.h"

// The game record is constructed before this runs; detaching releases nothing.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    return DetectThemedShell(instance, reason, reserved);
}
