#pragma once

#include <windows.h>

#include <random>
#include <string>
#include <vector>

// A seeded stream of events against the device, each chosen for the device
// as it stands: taps mostly on what can be tapped (the rows, the controls of
// the windows shown, the title and menu bars, the Start menu), navigation
// pad keys, now and then the settings page, a soft reset or a dialog closed
// by the window manager. Never Start > Close, and never "Yes" to a question
// unless asked for.
class Gremlins {
public:
    Gremlins(unsigned seed, bool yes) : random(seed), yes(yes) {}

    // The next event, as a line of a script.
    std::wstring Next(HANDLE programs);

private:
    int Below(int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); }
    std::wstring TapIn(RECT rect, const std::vector<RECT>& forbidden);

    std::mt19937 random;
    bool yes;
};
