// What the installer changes on the device, and its record of it: the
// record (under HKLM\Software\Apps\NAME, as a device keeps its installed
// programs) lists the files, directories, keys and values installed, so that
// an uninstall removes those and nothing else.
#include "device/installer/installation.h"

#include "device/device_path.h"
#include "device/installer/registry_roots.h"

namespace {

const wchar_t kAppsKey[] = L"Software\\Apps\\";

std::wstring HostPath(const std::wstring& devicePath)
{
    wchar_t host[MAX_PATH];
    DevicePathToHost(devicePath.c_str(), host, MAX_PATH);
    return host;
}

std::wstring Rooted(const RegistryRoot& root, const std::wstring& key)
{
    return std::wstring(root.name) + L"\\" + key;
}

bool ReadWholeFile(const std::wstring& path, std::string* data)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read)
        data->append(buffer, read);
    CloseHandle(file);
    return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& data)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole =
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) && written == data.size();
    return CloseHandle(file) && whole;
}

// A value as it was before the install, to put back on failure.
struct PreviousValue {
    HKEY root;
    std::wstring key, name;
    bool existed;
    DWORD type;
    std::vector<BYTE> data;
};

bool ReadValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD* type, std::vector<BYTE>* data)
{
    DWORD size = 0;
    if (RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    data->resize(size);
    return RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, type, data->data(), &size) ==
           ERROR_SUCCESS;
}

bool WriteValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const std::vector<BYTE>& data)
{
    return RegSetKeyValueW(root, key.c_str(), name.c_str(), type, data.data(), static_cast<DWORD>(data.size())) ==
           ERROR_SUCCESS;
}

// A record's list: texts, each with its null, then an empty one.
std::vector<BYTE> MultiText(const std::vector<std::wstring>& texts)
{
    std::wstring joined;
    for (const std::wstring& text : texts)
        joined += text + L'\0';
    joined += L'\0';
    const BYTE* bytes = reinterpret_cast<const BYTE*>(joined.data());
    return std::vector<BYTE>(bytes, bytes + joined.size() * sizeof(wchar_t));
}

std::vector<std::wstring> ReadMultiText(HKEY key, const wchar_t* name)
{
    std::vector<std::wstring> texts;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadValue(key, L"", name, &type, &data) || type != REG_MULTI_SZ)
        return texts;
    data.resize(data.size() + 2 * sizeof(wchar_t));  // ends the texts, whatever the record holds
    for (const wchar_t* text = reinterpret_cast<const wchar_t*>(data.data()); *text; text += lstrlenW(text) + 1)
        texts.push_back(text);
    return texts;
}

void AddFault(std::wstring* faults, const std::wstring& fault)
{
    *faults += (faults->empty() ? L"" : L"; ") + fault;
}

// What a commit has done so far: what it undoes on failure, and what the
// record lists.
class Commit {
public:
    explicit Commit(const InstallPlan& plan) : plan_(plan) {}

    std::wstring Run()
    {
        for (const std::wstring& directory : plan_.directories)
            if (!MakeDirectory(directory))
                return Undo(L"cannot make the directory " + directory);
        for (const PlannedFile& file : plan_.files)
            if (!CopyIn(file))
                return Undo(L"cannot write " + file.devicePath);
        for (const PlannedValue& value : plan_.values)
            if (!SetValue(value))
                return Undo(L"cannot write the registry value \"" + value.name + L"\" in " +
                            Rooted(*value.root, value.key));
        if (!WriteRecord())
            return Undo(L"cannot record the installation");
        return L"";
    }

private:
    bool MakeDirectory(const std::wstring& directory)
    {
        if (CreateDirectoryW(HostPath(directory).c_str(), nullptr)) {
            directories_.push_back(directory);
            return true;
        }
        const DWORD attributes = GetFileAttributesW(HostPath(directory).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool CopyIn(const PlannedFile& file)
    {
        const std::wstring host = HostPath(file.devicePath);
        std::string previous;
        const bool existed = ReadWholeFile(host, &previous);
        if (existed && file.keepExisting)
            return true;
        if (!WriteWholeFile(host, *file.data)) {
            if (existed)
                WriteWholeFile(host, previous);
            else
                DeleteFileW(host.c_str());
            return false;
        }
        files_.push_back(file.devicePath);
        if (existed)
            replaced_.push_back({host, previous});
        else
            created_.push_back(host);
        return true;
    }

    // Makes the key's missing parts one by one, to know which are ours.
    bool MakeKey(const RegistryRoot& root, const std::wstring& key)
    {
        for (size_t slash = key.find(L'\\');; slash = key.find(L'\\', slash + 1)) {
            const std::wstring part = key.substr(0, slash);
            HKEY opened;
            DWORD disposition = 0;
            if (RegCreateKeyExW(root.key, part.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &opened, &disposition) !=
                ERROR_SUCCESS)
                return false;
            RegCloseKey(opened);
            if (disposition == REG_CREATED_NEW_KEY)
                keys_.push_back(Rooted(root, part));
            if (slash == std::wstring::npos)
                return true;
        }
    }

    bool SetValue(const PlannedValue& value)
    {
        if (!MakeKey(*value.root, value.key))
            return false;
        PreviousValue previous{value.root->key, value.key, value.name, false, 0, {}};
        previous.existed = ReadValue(previous.root, value.key, value.name, &previous.type, &previous.data);
        if (previous.existed && value.keepExisting)
            return true;
        if (!WriteValue(previous.root, value.key, value.name, value.type, value.data))
            return false;
        previousValues_.push_back(previous);
        values_.push_back(Rooted(*value.root, value.key));
        values_.push_back(value.name);
        return true;
    }

    bool WriteRecord()
    {
        const std::wstring record = kAppsKey + plan_.appName;
        const std::vector<BYTE> provider = MultiText({plan_.provider});
        return WriteValue(HKEY_LOCAL_MACHINE, record, L"Provider", REG_SZ,
                          std::vector<BYTE>(provider.begin(), provider.end() - sizeof(wchar_t))) &&
               WriteValue(HKEY_LOCAL_MACHINE, record, L"Directories", REG_MULTI_SZ, MultiText(directories_)) &&
               WriteValue(HKEY_LOCAL_MACHINE, record, L"Files", REG_MULTI_SZ, MultiText(files_)) &&
               WriteValue(HKEY_LOCAL_MACHINE, record, L"Keys", REG_MULTI_SZ, MultiText(keys_)) &&
               WriteValue(HKEY_LOCAL_MACHINE, record, L"Values", REG_MULTI_SZ, MultiText(values_));
    }

    // Puts back what was there, newest change first; says why it failed.
    std::wstring Undo(const std::wstring& fault)
    {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kAppsKey + plan_.appName).c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kAppsKey + plan_.appName).c_str());
        for (auto value = previousValues_.rbegin(); value != previousValues_.rend(); ++value) {
            if (value->existed)
                WriteValue(value->root, value->key, value->name, value->type, value->data);
            else
                RegDeleteKeyValueW(value->root, value->key.c_str(), value->name.c_str());
        }
        RemoveKeys(keys_);
        for (const auto& file : replaced_)
            WriteWholeFile(file.first, file.second);
        for (const std::wstring& file : created_)
            DeleteFileW(file.c_str());
        RemoveDirectories(directories_);
        return fault;
    }

public:
    // Keys that the installer made, deepest first; a key that holds
    // another program's key stays.
    static void RemoveKeys(const std::vector<std::wstring>& keys)
    {
        for (auto rooted = keys.rbegin(); rooted != keys.rend(); ++rooted) {
            std::wstring key;
            if (HKEY root = SplitRootedKey(*rooted, &key))
                RegDeleteKeyW(root, key.c_str());
        }
    }

    // Directories the installer made, deepest first, where empty.
    static void RemoveDirectories(const std::vector<std::wstring>& directories)
    {
        for (auto directory = directories.rbegin(); directory != directories.rend(); ++directory)
            RemoveDirectoryW(HostPath(*directory).c_str());
    }

private:
    const InstallPlan& plan_;
    std::vector<std::wstring> directories_, files_, keys_, values_;  // values_: key, name, key, name ...
    std::vector<std::wstring> created_;                              // host paths of new files
    std::vector<std::pair<std::wstring, std::string>> replaced_;     // host path, former content
    std::vector<PreviousValue> previousValues_;
};

}  // namespace

std::wstring CommitPlan(const InstallPlan& plan)
{
    return Commit(plan).Run();
}

bool IsInstalled(const std::wstring& appName)
{
    HKEY record;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kAppsKey + appName).c_str(), 0, KEY_READ, &record) != ERROR_SUCCESS)
        return false;
    RegCloseKey(record);
    return true;
}

std::wstring RemoveInstalled(const std::wstring& appName)
{
    const std::wstring recordPath = kAppsKey + appName;
    HKEY record;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, recordPath.c_str(), 0, KEY_READ, &record) != ERROR_SUCCESS)
        return L"it is not installed";
    const std::vector<std::wstring> values = ReadMultiText(record, L"Values");
    const std::vector<std::wstring> keys = ReadMultiText(record, L"Keys");
    const std::vector<std::wstring> files = ReadMultiText(record, L"Files");
    const std::vector<std::wstring> directories = ReadMultiText(record, L"Directories");
    RegCloseKey(record);

    // What is gone already counts as removed: a later try finishes the job.
    std::wstring fault;
    for (size_t i = 0; i + 1 < values.size(); i += 2) {
        std::wstring key;
        HKEY root = SplitRootedKey(values[i], &key);
        const LONG result = root ? RegDeleteKeyValueW(root, key.c_str(), values[i + 1].c_str()) : ERROR_SUCCESS;
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
            AddFault(&fault, L"cannot remove the registry value \"" + values[i + 1] + L"\" in " + values[i]);
    }
    Commit::RemoveKeys(keys);
    for (const std::wstring& file : files) {
        if (!DeleteFileW(HostPath(file).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
            GetLastError() != ERROR_PATH_NOT_FOUND)
            AddFault(&fault, L"cannot remove " + file);
    }
    Commit::RemoveDirectories(directories);
    if (!fault.empty())
        return fault + L"; its record stays for another uninstall";
    const LONG tree = RegDeleteTreeW(HKEY_LOCAL_MACHINE, recordPath.c_str());
    const LONG key = RegDeleteKeyW(HKEY_LOCAL_MACHINE, recordPath.c_str());  // where the tree call left it
    if (tree != ERROR_SUCCESS || (key != ERROR_SUCCESS && key != ERROR_FILE_NOT_FOUND))
        return L"cannot remove its record, HKLM\\" + recordPath;
    return L"";
}
