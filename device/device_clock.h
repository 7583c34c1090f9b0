#pragma once

// The emulated device's clock runs with the local time unless this variable
// holds a fixed time, "YYYY-MM-DDTHH:MM:SS", for repeatable runs. Child
// processes inherit it, so a settings process sees the same clock.
const wchar_t kDeviceClockVariable[] = L"TOLVANE_DEVICE_CLOCK";
