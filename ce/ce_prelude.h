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
// CE's 64-bit integers are 8-aligned in structs, where APCS aligns them to 4.
#define __int64 long long __attribute__((aligned(8)))
