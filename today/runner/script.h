#pragma once

#include <string>
#include <vector>

// A scripted run: one command a line, blank lines and # comments skipped.
//   tap X Y          a stylus tap at screen point (X, Y)
//   key NAME         a press of the navigation pad: up, down, left, right or
//                    action (the pad's centre, the default button)
//   wait MS          let the device run for MS milliseconds (at most 60000)
//   screenshot FILE  the whole screen to a PNG file
//   reset            a soft reset; the script goes on once the screen is back
//   settings         open the Today screen's settings, as Start > Settings does
//   close            close the dialog in front, as a window manager does
//   rules            from here on, check the device's rules after every step
//   quit             close the Today screen and end the run
struct ScriptStep {
    enum Kind { kTap, kKey, kWait, kScreenshot, kReset, kSettings, kClose, kRules, kQuit } kind;
    int x = 0, y = 0, milliseconds = 0;
    unsigned short virtualKey = 0;
    std::wstring path;
    std::wstring place;  // where it comes from, for messages: "FILE:LINE" of a script
};

// Reads one command of a script, without its comment; on a fault, why
// says what.
bool ParseStep(const std::wstring& line, ScriptStep* step, std::wstring* why);

// Reads a script; on a fault, error says where and what.
bool ReadScript(const wchar_t* path, std::vector<ScriptStep>* steps, std::wstring* error);
