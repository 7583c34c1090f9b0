#pragma once

// Included before every source of the device build: what mingw-w64's Windows
// headers expect of a Windows compiler, given to the bare-metal ARM GCC. The
// headers then declare the Win32 API as Windows CE has it on ARM.

#define _WIN32 1
#define WIN32 1
#define _ARM_ 1           // the headers' ARM layouts and types
#define WIN32_LEAN_AND_MEAN 1  // no COM or OLE: the item uses neither
#define UNICODE 1
#define _UNICODE 1

// ARM has one calling standard: the x86 conventions' keywords mean nothing.
#define __cdecl
#define __stdcall
#define __fastcall
// Imports are resolved by the PE writer's thunks, not by the compiler.
#define __declspec(x)
#define __MINGW_INTRIN_INLINE extern inline __attribute__((__always_inline__, __gnu_inline__))
// CE aligns a 64-bit integer in a struct to 8 bytes, APCS to 4, and the
// headers' typedefs cannot be given another alignment (GCC refuses one on
// their parameters). No record that the item passes holds one; the ARM
// tests check the sizes of those it does. A new one with a LONGLONG,
// FILETIME's users or LARGE_INTEGER needs its own aligned declaration.

#include <windows.h>

#include "device/include/ce_kernel.h"

// CE's system colour indices carry a flag the desktop's lack; the item passes
// the names, never the numbers, so the same code asks each system rightly.
#undef COLOR_WINDOW
#define COLOR_WINDOW (SYS_COLOR_INDEX_FLAG | 5)
#undef COLOR_WINDOWTEXT
#define COLOR_WINDOWTEXT (SYS_COLOR_INDEX_FLAG | 8)
