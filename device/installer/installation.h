#pragma once

#include <windows.h>

#include <string>

#include "device/installer/setup_file.h"

// Carries out a checked plan: every directory, file and value, or, when
// any part fails, none (what was done is undone). Remembers what it
// installed under the application's name. Returns an empty text, or the
// fault.
std::wstring CommitPlan(const InstallPlan& plan);

// Whether an application is installed, by its record.
bool IsInstalled(const std::wstring& appName);

// Removes exactly what the record says the application installed, and then
// the record. Returns an empty text, or what could not be removed (also when
// no record is there); the record stays while anything it lists does.
std::wstring RemoveInstalled(const std::wstring& appName);
