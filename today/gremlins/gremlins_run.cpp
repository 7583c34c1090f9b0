#include "gremlins_run.h"

#include <windows.h>
#include <stdio.h>

#include <fstream>
#include <string>
#include <vector>

#include "device/clock_text.h"
#include "device/device_environment.h"
#include "gremlins.h"
#include "today/runner/device_rules.h"
#include "today/runner/screenshot.h"
#include "today/runner/script_run.h"
#include "today/runner/supervisor.h"

namespace {

const long kProgressEvery = 100;

// The device clock of the run: the one given, or the time the run began,
// held still so that a replay deals the same cards.
std::wstring FixedClock()
{
    wchar_t text[32] = L"";
    if (GetEnvironmentVariableW(kDeviceClockVariable, text, 32) - 1u < 31u)
        return text;
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring clock = FormatDeviceClock(now);
    SetEnvironmentVariableW(kDeviceClockVariable, clock.c_str());
    return clock;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());  // script lines and names are ASCII
}

// The run so far as a script that replays it and checks the rules on the way.
void WriteReplay(const std::wstring& path, unsigned seed, const std::wstring& clock, const BrokenRule& broken,
                 const std::vector<std::wstring>& events)
{
    std::ofstream script(path.c_str());
    script << "# The gremlins of seed " << seed << ", up to event " << events.size() << ", where the rule \""
           << Narrow(broken.name) << "\" broke.\n# Replay: tools/run.sh --clock " << Narrow(clock) << " --script "
           << Narrow(path) << "\nrules\n";
    for (const std::wstring& event : events)
        script << Narrow(event) << "\n";
}

void Report(unsigned seed, long event, const BrokenRule& broken, const std::vector<DWORD>& before,
            const std::vector<DWORD>& after, const std::wstring& clock, const std::vector<std::wstring>& events)
{
    const std::wstring name = L"gremlins-" + std::to_wstring(seed);
    SavePicture(before, (name + L"-before.png").c_str());
    SavePicture(after, (name + L"-after.png").c_str());
    WriteReplay(name + L".txt", seed, clock, broken, events);
    fwprintf(stderr,
             L"today: gremlins of seed %u: event %ld (%ls) broke the rule \"%ls\": %ls\n"
             L"today: the screen before and after it: %ls-before.png, %ls-after.png; replay: --clock %ls --script "
             L"%ls.txt\n",
             seed, event, events.empty() ? L"the boot" : events.back().c_str(), broken.name, broken.detail.c_str(),
             name.c_str(), name.c_str(), clock.c_str(), name.c_str());
}

double Seconds(ULONGLONG since)
{
    return (GetTickCount64() - since) / 1000.0;
}

}  // namespace

int RunDeviceGremlins(unsigned seed, long events, bool yes)
{
    const std::wstring clock = FixedClock();
    DeviceSupervisor device;
    if (!device.Boot() || !device.WaitUntilQuiet(L"the boot"))
        return 1;
    Gremlins gremlins(seed, yes);
    DeviceRules rules;
    std::vector<std::wstring> done;
    std::vector<DWORD> before = CaptureScreen();
    // The device as it came up: the rules hold before the first event too,
    // and the Today screen's objects are counted from here.
    const BrokenRule atBoot = rules.Check(device, true);
    if (atBoot.name) {
        Report(seed, 0, atBoot, before, before, clock, done);
        return 1;
    }
    const ULONGLONG start = GetTickCount64();
    for (long event = 1; event <= events; ++event) {
        done.push_back(gremlins.Next(device.Programs()));
        ScriptStep step;
        std::wstring why;
        if (!ParseStep(done.back(), &step, &why)) {
            fwprintf(stderr, L"today: gremlins of seed %u: event %ld (%ls) is no step the device takes: %ls\n", seed,
                     event, done.back().c_str(), why.c_str());
            return 1;
        }
        step.place = L"event " + std::to_wstring(event);
        const bool quiet = RunStep(device, step);
        std::vector<DWORD> after = CaptureScreen();
        const BrokenRule broken = rules.Check(device, quiet);
        if (broken.name) {
            Report(seed, event, broken, before, after, clock, done);
            return 1;
        }
        before.swap(after);
        if (event % kProgressEvery == 0) {
            fwprintf(stderr, L"today: gremlins: %ld of %ld events, %.1f a second, every rule held\n", event, events,
                     event / Seconds(start));
            fflush(stderr);  // shown as it runs, also where it goes to a file
        }
    }
    const double seconds = Seconds(start);
    fwprintf(stderr, L"today: gremlins of seed %u: %ld events in %.1f s, %.1f a second; %ld rules checked, all held\n",
             seed, events, seconds, events / seconds, rules.checked);
    device.Close();
    return 0;
}
