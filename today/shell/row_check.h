#pragma once

#include <windows.h>

// Whether an item's row shows what the item paints for its state now: the
// row's pixels as they are, against the row painted afresh by the item.
bool RowShowsItsPaint(HWND row);
