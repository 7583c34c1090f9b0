#pragma once

#include <windows.h>

#include <string>

// Whether the device's programs have done with what a step started: what
// still keeps one of them busy, or empty when every one is waiting for input
// with nothing left to paint. The programs are those of the job.
std::wstring DeviceBusyWith(HANDLE programs);

// What shows at a point of the screen that has just changed.
std::wstring ScreenChangingAt(POINT point);
