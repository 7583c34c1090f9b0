#pragma once

#include <windows.h>

#include <vector>

// How many more GDI objects the process can make: Wine's handle table,
// shared by every kind of object, is the limit, and Wine's
// GetGuiResources answers 0. A leak shows as less headroom afterwards.
inline size_t GdiHeadroom()
{
    std::vector<HRGN> made;
    for (HRGN region; (region = CreateRectRgn(0, 0, 1, 1)) != nullptr;)
        made.push_back(region);
    for (HRGN region : made)
        DeleteObject(region);
    return made.size();
}
