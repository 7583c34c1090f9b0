#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "device_window.h"

// The emulated device as a run drives it: its screen, and the Today screen
// as its own process, restarted at every soft reset as a Pocket PC boots
// again; a reset ends every program the device started.
class DeviceSupervisor {
public:
    // Brings up the device's screen, the Today screen loading meanwhile.
    DeviceSupervisor();
    ~DeviceSupervisor();

    // Boots the Today screen; false, the reason said, when there is no
    // screen or it did not come up.
    bool Boot();
    void Stop();
    bool SoftReset();

    // Lets the device run for a while, rebooting whenever something asks
    // for a soft reset. False once the Today screen has ended by itself.
    bool Run(DWORD milliseconds);

    // Waits until the device has done with what the last step started:
    // every program of it idle at its message loop, nothing left to paint,
    // and the screen the same over a few looks. False, with what was still
    // busy said on standard error, when the limit passes first (or the Today
    // screen ended).
    // place says where the run is, for that message.
    bool WaitUntilQuiet(const std::wstring& place);

    // Closes the Today screen as a user would, so its items hear of it.
    void Close();

    // The job that holds every program of the device.
    HANDLE Programs() const { return programs; }
    // How many times the Today screen has come up.
    int Boots() const { return boots; }
    // Whether the Today screen still runs, and its exit status when not.
    bool ShellRunning() const;
    DWORD ShellExitCode() const;

private:
    // Starts the Today screen's process; false, the reason said, when it
    // cannot.
    bool Start();
    // Tells the Today screen that has started which screen to show on.
    void TellScreen();

    HANDLE reset = nullptr;
    HANDLE ready = nullptr;
    HANDLE screenNews = nullptr;  // where the Today screen hears of its screen
    HANDLE programs = nullptr;
    HANDLE shell = nullptr;
    int boots = 0;
    std::optional<DeviceWindow> screen;
};

// Runs the device until the Today screen is closed.
int RunDevice();
