#pragma once

#include <windows.h>

#include <string>

// The settings process: an item's options dialog in a process of its own,
// as the device runs it, where the item was never started.

// What keeps the named item's options from opening, as the Today screen
// shell said it on leaving the item out; empty when nothing is known.
std::wstring ItemOptionsProblem(HWND shell, const std::wstring& name);

// Starts the settings process for the named item of shell; when its key
// or shell's last load shows that the options cannot open, says so over
// owner instead.
void StartItemOptions(HWND owner, HWND shell, const std::wstring& name);

// The settings process itself: runs the options dialog of the named item,
// template 500 of its DLL with the DLL's export 241, as the device's
// settings do.
int RunItemOptions(const wchar_t* itemName);
