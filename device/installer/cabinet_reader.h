#pragma once

#include <windows.h>

#include "device/installer/setup_file.h"

// Reads every file of a Microsoft cabinet into memory with the platform's
// cabinet library (cabinet.dll's FDI); throws SetupFault when the file is
// no cabinet, or a damaged or truncated one.
CabinetFiles ReadCabinet(const std::wstring& path);
