#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The device's screen as a person sees it: its pixels, and pictures of them.

// Every pixel of the screen, every window on it, row by row, as 0x00RRGGBB.
std::vector<DWORD> CaptureScreen();

// Writes the whole screen, every window on it, to a PNG file.
bool SaveScreenshot(const wchar_t* path);

// Why a picture could not be written to path, just after it was not.
std::wstring WhyNotWritten(const std::wstring& path);

// Writes a picture of the screen, as CaptureScreen took it, to a PNG file.
bool SavePicture(const std::vector<DWORD>& pixels, const wchar_t* path);
