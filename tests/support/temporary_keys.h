#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Registry keys a test makes under HKEY_LOCAL_MACHINE, deleted with all they
// hold as the test ends, however it ends: a failed ASSERT returns at once,
// and a key left behind would meet the next test (an item key, one more
// item on its Today screen).
class TemporaryKeys {
public:
    TemporaryKeys() = default;
    TemporaryKeys(const TemporaryKeys&) = delete;
    TemporaryKeys& operator=(const TemporaryKeys&) = delete;
    ~TemporaryKeys()
    {
        for (const std::wstring& path : paths)
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
    }

    // The key at path goes with the test; answers path.
    std::wstring Add(const std::wstring& path)
    {
        paths.push_back(path);
        return path;
    }

private:
    std::vector<std::wstring> paths;
};
