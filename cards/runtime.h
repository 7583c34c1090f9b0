#pragma once

// The platform calls of the shuffle: the local time and the C runtime's
// generator. A host build takes stand-ins that deal the same cards.
#ifdef _WIN32
#include <windows.h>
#include <stdlib.h>

inline void SeedRandom(unsigned int seed)
{
    srand(seed);
}
inline int NextRandom()
{
    return rand();
}
#else
#include "native/win32_runtime.h"
#endif
