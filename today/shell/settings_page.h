#pragma once

#include <windows.h>

// The Today screen's settings: the items with their enabled state, and an
// Options button for each item that has options. It covers the screen until
// its ok (Enter) or its cancel (Escape); shell hears WM_TODAY_SETTINGSCLOSED
// then, with wParam TRUE when the page changed what the items read.
void OpenSettingsPage(HWND shell);

const UINT WM_TODAY_SETTINGSCLOSED = WM_APP + 1;

// The settings process: runs the options dialog of the named item, template
// 500 of its DLL with the DLL's export 241, as the device's settings do.
int RunItemOptions(const wchar_t* itemName);
