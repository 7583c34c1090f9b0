#include <windows.h>

// The device DLL's entry point, in place of the startup code a Windows
// compiler's runtime gives: the item's globals (the game record's hand and
// deck) are constructed before DllMain sees the attach, as on the desktop.

extern "C" {
// Bounds of the constructors' list, from ce/Tolvane.ld.
extern void (*const __ctors_start[])();
extern void (*const __ctors_end[])();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved);

extern "C" BOOL WINAPI DllEntry(HINSTANCE instance, DWORD reason, void* reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        // .ctors holds them in reverse order of construction.
        for (auto constructor = __ctors_end; constructor != __ctors_start;)
            (*--constructor)();
    }
    return DllMain(instance, reason, reserved);
}
