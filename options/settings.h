#pragma once

#include <windows.h>

#include "device/today_registry.h"  // kItemKeyPath, the item's key

// The two stored settings, "DISCARD" and "CARDBACK", in the Today screen's
// key for the item. Both answer a registry result code that callers ignore.

// Reads the stored values over fiveDiscards and cardBackIcon; a value that
// cannot be read, or a card back outside 153..164, leaves its field as it was.
LONG LoadSettings();

// Writes fiveDiscards and cardBackIcon; the key is never created.
LONG SaveSettings();

// Whether gameSession holds the settings: not in a process where the item
// never started (the Today screen's settings), whose record is still zero.
bool SettingsInMemory();

// Opens the item's key with the access a call needs; never creates it.
LONG OpenItemKey(REGSAM access, HKEY* key);
