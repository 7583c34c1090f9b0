#include "script.h"

#include <windows.h>
#include <stdio.h>

#include <sstream>

#include "device/device_screen.h"

namespace {

// A wait lets device time pass in real time: a minute at most, so that a
// slip of the keyboard cannot hold a run up for days without a word.
const int kMaxWaitMilliseconds = 60000;

std::wstring Widen(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                    static_cast<int>(wide.size()));
    wide.resize(units > 0 ? units : 0);
    return wide;
}

// A word of the script for a message: at most a few dozen characters, and
// anything but printable ASCII escaped, so that a console shows all of it
// (the C runtime's output stops at the first character it cannot convert).
std::wstring Quoted(const std::wstring& word)
{
    const size_t kShown = 32;
    std::wstring quoted = L"\"";
    for (size_t i = 0; i < word.size() && i < kShown; ++i) {
        const wchar_t c = word[i];
        if (c == L'"' || c == L'\\') {
            quoted += L'\\';
            quoted += c;
        } else if (c >= 0x20 && c < 0x7f) {
            quoted += c;
        } else {
            wchar_t escape[8];
            swprintf(escape, 8, L"\\u%04X", static_cast<unsigned>(c));
            quoted += escape;
        }
    }
    return quoted + (word.size() > kShown ? L"...\"" : L"\"");
}

}  // namespace

bool ParseStep(const std::wstring& line, ScriptStep* step, std::wstring* why)
{
    std::wistringstream words(line);
    std::wstring command, rest;
    words >> command;
    if (command == L"tap") {
        step->kind = ScriptStep::kTap;
        if (!(words >> step->x >> step->y)) {
            *why = L"tap takes two screen coordinates, as in \"tap 135 58\"";
            return false;
        }
        if (step->x < 0 || step->x >= kDeviceScreenWidth || step->y < 0 || step->y >= kDeviceScreenHeight) {
            *why = L"tap " + std::to_wstring(step->x) + L" " + std::to_wstring(step->y) +
                   L" is off the screen (x 0 to " + std::to_wstring(kDeviceScreenWidth - 1) + L", y 0 to " +
                   std::to_wstring(kDeviceScreenHeight - 1) + L")";
            return false;
        }
    } else if (command == L"key") {
        step->kind = ScriptStep::kKey;
        const struct {
            const wchar_t* name;
            unsigned short key;
        } pad[] = {
            {L"up", VK_UP}, {L"down", VK_DOWN}, {L"left", VK_LEFT}, {L"right", VK_RIGHT}, {L"action", VK_RETURN}};
        std::wstring name;
        words >> name;
        for (const auto& button : pad) {
            if (name == button.name)
                step->virtualKey = button.key;
        }
        if (!step->virtualKey) {
            *why = L"key takes up, down, left, right or action";
            return false;
        }
    } else if (command == L"wait") {
        step->kind = ScriptStep::kWait;
        if (!(words >> step->milliseconds) || step->milliseconds < 0 || step->milliseconds > kMaxWaitMilliseconds) {
            *why =
                L"wait takes milliseconds from 0 to " + std::to_wstring(kMaxWaitMilliseconds) + L", as in \"wait 500\"";
            return false;
        }
    } else if (command == L"screenshot") {
        step->kind = ScriptStep::kScreenshot;
        std::getline(words >> std::ws, step->path);
        if (step->path.empty()) {
            *why = L"screenshot takes a file name, as in \"screenshot first.png\"";
            return false;
        }
        return true;
    } else if (command == L"reset") {
        step->kind = ScriptStep::kReset;
    } else if (command == L"settings") {
        step->kind = ScriptStep::kSettings;
    } else if (command == L"close") {
        step->kind = ScriptStep::kClose;
    } else if (command == L"rules") {
        step->kind = ScriptStep::kRules;
    } else if (command == L"quit") {
        step->kind = ScriptStep::kQuit;
    } else {
        *why = L"unknown command " + Quoted(command) +
               L" (tap, key, wait, screenshot, reset, settings, close, rules, quit)";
        return false;
    }
    if (words >> rest) {
        *why = L"unexpected " + Quoted(rest) + L" after " + command;
        return false;
    }
    return true;
}

bool ReadScript(const wchar_t* path, std::vector<ScriptStep>* steps, std::wstring* error)
{
    FILE* file = _wfopen(path, L"rb");
    if (!file) {
        *error = std::wstring(L"cannot open the script ") + path;
        return false;
    }
    std::string text;
    char buffer[4096];
    for (size_t read; (read = fread(buffer, 1, sizeof(buffer), file)) > 0;)
        text.append(buffer, read);
    fclose(file);
    // The mark some Windows editors put at the start of a UTF-8 file.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);

    std::wistringstream lines(Widen(text));
    std::wstring line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const size_t comment = line.find(L'#');
        if (comment != std::wstring::npos)
            line.erase(comment);
        while (!line.empty() && (line.back() == L'\r' || line.back() == L' ' || line.back() == L'\t'))
            line.pop_back();  // scripts written on Windows end their lines with CR LF
        if (line.find_first_not_of(L" \t\r") == std::wstring::npos)
            continue;
        ScriptStep step;
        step.place = std::wstring(path) + L":" + std::to_wstring(number);
        std::wstring why;
        if (!ParseStep(line, &step, &why)) {
            *error = step.place + L": " + why;
            return false;
        }
        steps->push_back(step);
    }
    return true;
}
