#pragma once

#include <windows.h>

extern "C" {
// Export 241: the procedure of the options dialog, template 500.
INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
}
