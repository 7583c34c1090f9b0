#pragma once

#include <windows.h>

// The item's Tahoma 11 font, regular (FW_NORMAL) or bold (FW_BOLD): the
// row's texts and the paytable are drawn in it.
HFONT CreateItemFont(LONG weight);
