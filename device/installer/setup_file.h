#pragma once

#include <windows.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// A fault of a cabinet or its setup file, in words for the user.
struct SetupFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What the device is, for the setup file's demands.
struct DeviceFacts {
    DWORD processor;
    DWORD majorVersion, minorVersion;
};

struct PlannedFile {
    std::wstring devicePath;  // such as \Windows\Tolvane.dll
    const std::string* data;  // in the cabinet's files
    bool keepExisting;        // leave a file already there
};

struct PlannedValue {
    const struct RegistryRoot* root;
    std::wstring key, name;
    DWORD type;  // REG_SZ, REG_DWORD, ...
    std::vector<BYTE> data;
    bool keepExisting;  // leave a value already there
};

// Everything a cabinet installs, checked: directories are device paths,
// parents before children.
struct InstallPlan {
    std::wstring appName, provider;
    std::vector<std::wstring> directories;
    std::vector<PlannedFile> files;
    std::vector<PlannedValue> values;
};

// The cabinet's files by name, such as "0Tolvane.001".
typedef std::map<std::string, std::string> CabinetFiles;

// Reads the setup file (the cabinet's .000 file) and checks every part of
// it against the cabinet and the device; throws SetupFault on the first
// fault. The plan's files point into the cabinet's.
InstallPlan ReadSetupFile(const CabinetFiles& cabinet, const DeviceFacts& device);

// The name the setup file's table gives a processor, such as "StrongARM".
std::string ProcessorName(DWORD processor);
