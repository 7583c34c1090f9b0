#pragma once

#include <windows.h>

#include "today/shared/today_window.h"

// The Today screen's settings: the items with their enabled state, and an
// Options button for each item that has options. A dialog full screen below
// the title bar until its ok (Enter) or its cancel (Escape); shell hears
// WM_TODAY_SETTINGSCLOSED then, with wParam TRUE when the page changed what
// the items read. Answers the page, the one open already if there is one,
// or null when it cannot open.
HWND OpenSettingsPage(HWND shell);

// The dialog manager's part of shell's message loop while its page is open:
// Tab, the arrows, Enter and Escape. True when the message was the page's.
bool IsSettingsPageMessage(HWND shell, MSG* message);
