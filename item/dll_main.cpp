#include <windows.h>

#include "item.h"
#include "item_state.h"

// The records are constructed before this runs; only the process attach
// decides the theme, and detaching releases nothing.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        itemState.themedShell = DetectThemedShell();
    return TRUE;
}
