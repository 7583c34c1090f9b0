#pragma once

#include <windows.h>

// The Today screen's settings: the items with their enabled state, and an
// Options button for each item that has options. It covers the screen until
// its ok button; shell hears WM_TODAY_SETTINGSCLOSED then, to reload items.
void OpenSettingsPage(HWND shell);

const UINT WM_TODAY_SETTINGSCLOSED = WM_APP + 1;

// The settings process: runs the options dialog of the named item, template
// 500 of its DLL with the DLL's export 241, as the device's settings do.
int RunItemOptions(const wchar_t* itemName);
