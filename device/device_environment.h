#pragma once

// How the emulated device is set up for a run. The shell sets these in its
// environment; every program it starts, and every DLL in them, inherits it.

// A fixed device clock, "YYYY-MM-DDTHH:MM:SS", for repeatable runs; unset,
// the device clock is the local time.
const wchar_t kDeviceClockVariable[] = L"TOLVANE_DEVICE_CLOCK";

// The platform type the device reports; unset, "PocketPC". The value
// "desktop" makes the query fail, as it does on a desktop Windows.
const wchar_t kDevicePlatformVariable[] = L"TOLVANE_DEVICE_PLATFORM";
const wchar_t kDesktopPlatform[] = L"desktop";
const wchar_t kPocketPcPlatform[] = L"PocketPC";

// The operating system version the device reports, "major.minor"; unset, 3.0.
const wchar_t kDeviceVersionVariable[] = L"TOLVANE_DEVICE_OS_VERSION";

// Where the device has no virtual desktop of its own, the window whose
// client area is the device's screen, as a number (its handle).
const wchar_t kDeviceWindowVariable[] = L"TOLVANE_DEVICE_WINDOW";

// The shell waits on this event; a soft reset sets it.
const wchar_t kSoftResetEventName[] = L"TolvaneDeviceSoftReset";
