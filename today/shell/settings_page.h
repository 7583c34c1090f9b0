#pragma once

#include <windows.h>

#include "today/shared/today_window.h"

// The Today screen's settings: the items with their enabled state, and an
// Options button for each item that has options. It covers the screen until
// its ok (Enter) or its cancel (Escape); shell hears WM_TODAY_SETTINGSCLOSED
// then, with wParam TRUE when the page changed what the items read.
void OpenSettingsPage(HWND shell);
