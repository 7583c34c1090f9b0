// The setup file (.000) of a Windows CE installation cabinet, as described
// in "Windows CE installation cabinet (.CAB) file format" (cabextract's
// documentation). Little-endian throughout: a 100-byte header, then strings
// and sections at the offsets it gives.
#include "device/installer/setup_file.h"

#include <stdio.h>

#include <set>

#include "device/installer/registry_roots.h"

namespace {

const size_t kHeaderSize = 100;
const DWORD kNoClobber = 0x00000002;  // a registry entry's flag: keep a value already there
const DWORD kKeepExistingFile = 0x00000010;

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string Format(const char* format, DWORD first, DWORD second = 0)
{
    char text[128];
    snprintf(text, sizeof(text), format, static_cast<unsigned>(first), static_cast<unsigned>(second));
    return text;
}

std::wstring Wide(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

// Reads within the setup file only, naming the part that points outside.
class Cursor {
public:
    Cursor(const std::string& bytes, size_t at, const char* part) : bytes_(bytes), at_(at), part_(part) {}

    DWORD Number(size_t size)
    {
        const std::string raw = Take(size);
        DWORD value = 0;
        for (size_t i = size; i-- > 0;)
            value = value << 8 | static_cast<unsigned char>(raw[i]);
        return value;
    }
    std::string Take(size_t size)
    {
        if (at_ > bytes_.size() || size > bytes_.size() - at_)
            throw SetupFault(std::string("the setup file's ") + part_ + " points outside it");
        at_ += size;
        return bytes_.substr(at_ - size, size);
    }
    // An ASCII text of `size` bytes with its null at the end.
    std::string Text(size_t size)
    {
        std::string text = Take(size);
        if (text.empty() || text.find('\0') != text.size() - 1)
            throw SetupFault(std::string("the setup file's ") + part_ + " has a text without its end");
        text.pop_back();
        return text;
    }
    // String ids, `size` bytes of them, ended by a 0.
    std::vector<DWORD> Ids(size_t size)
    {
        std::vector<DWORD> ids;
        for (size_t i = 0; i + 2 <= size; i += 2)
            ids.push_back(Number(2));
        if (size % 2 || ids.empty() || ids.back() != 0)
            throw SetupFault(std::string("the setup file's ") + part_ + " has a path without its end");
        ids.pop_back();
        return ids;
    }

private:
    const std::string& bytes_;
    size_t at_;
    const char* part_;
};

// The format's table of processors, with winnt.h's number for x86-64.
const struct {
    DWORD number;
    const char* name;
} kProcessors[] = {
    {103, "SHx SH3"},       {104, "SHx SH4"},        {386, "Intel 386"},     {486, "Intel 486"},
    {586, "Intel Pentium"}, {601, "PowerPC 601"},    {603, "PowerPC 603"},   {604, "PowerPC 604"},
    {620, "PowerPC 620"},   {821, "Motorola 821"},   {1824, "ARM 720"},      {2080, "ARM 820"},
    {2336, "ARM 920"},      {2577, "StrongARM"},     {4000, "MIPS R4000"},   {8664, "x86-64"},
    {10003, "Hitachi SH3"}, {10004, "Hitachi SH3E"}, {10005, "Hitachi SH4"}, {21064, "Alpha 21064"},
    {70001, "ARM 7TDMI"},
};

// A Pocket PC's standard folders, %CE1% to %CE17%; those a Pocket PC 3.0
// lacks are empty.
const char* const kStandardFolders[] = {
    "\\Program Files",
    "\\Windows",
    "",
    "\\Windows\\StartUp",
    "\\My Documents",
    "",
    "",
    "",
    "",
    "",
    "\\Windows\\Start Menu\\Programs",
    "",
    "",
    "\\Windows\\Start Menu\\Games",
    "\\Windows\\Fonts",
    "",
    "\\Windows\\Start Menu",
};

class SetupReader {
public:
    SetupReader(const std::string& bytes, const CabinetFiles& cabinet) : bytes_(bytes), cabinet_(cabinet) {}

    InstallPlan Read(const DeviceFacts& device)
    {
        Cursor header(bytes_, 0, "header");
        if (header.Take(4) != "MSCE")
            throw SetupFault("the setup file has no MSCE signature");
        header.Number(4);  // unknown
        const DWORD length = header.Number(4);
        if (length != bytes_.size())
            throw SetupFault(Format("the setup file says it is %u bytes long, but it is %u", length,
                                    static_cast<DWORD>(bytes_.size())));
        header.Number(8);  // unknown
        CheckProcessor(header.Number(4), device);
        DWORD version[4];  // oldest major and minor, newest major and minor
        for (DWORD& part : version)
            part = header.Number(4);
        CheckVersion(version, device);
        header.Number(8);             // oldest and newest build
        DWORD counts[6], offsets[6];  // STRINGS, DIRS, FILES, REGHIVES, REGKEYS, LINKS
        for (DWORD& count : counts)
            count = header.Number(2);
        for (DWORD& offset : offsets)
            offset = header.Number(4);
        if (counts[5])
            throw SetupFault(
                Format("the setup file asks for %u shortcuts, which this installer does not make", counts[5]));

        InstallPlan plan;
        plan.appName = Wide(HeaderText(header, "application name"));
        plan.provider = Wide(HeaderText(header, "provider"));
        // The platforms it does not support: names a Pocket PC's installer
        // shows; only checked to lie within the file.
        const DWORD unsupported = header.Number(2);
        Cursor(bytes_, unsupported, "list of unsupported platforms").Take(header.Number(2));
        ReadStrings(counts[0], offsets[0]);
        ReadDirectories(counts[1], offsets[1], plan);
        ReadFiles(counts[2], offsets[2], plan);
        ReadHives(counts[3], offsets[3]);
        ReadValues(counts[4], offsets[4], plan);
        return plan;
    }

private:
    void CheckProcessor(DWORD processor, const DeviceFacts& device)
    {
        if (processor != 0 && processor != device.processor)
            throw SetupFault("the cabinet is for the " + ProcessorName(processor) + " processor (" +
                             Format("%u", processor) + "), and this device's is " + ProcessorName(device.processor));
    }

    void CheckVersion(const DWORD version[4], const DeviceFacts& device)
    {
        const ULONGLONG deviceVersion = ULONGLONG(device.majorVersion) << 32 | device.minorVersion;
        const std::string runs =
            Format("; this device runs Windows CE %u.%u", device.majorVersion, device.minorVersion);
        if ((ULONGLONG(version[0]) << 32 | version[1]) > deviceVersion)
            throw SetupFault(Format("the cabinet needs Windows CE %u.%u or later", version[0], version[1]) + runs);
        if (version[2] && (ULONGLONG(version[2]) << 32 | version[3]) < deviceVersion)
            throw SetupFault(Format("the cabinet is for Windows CE %u.%u or earlier", version[2], version[3]) + runs);
    }

    // The application name or the provider: an offset and length (with the
    // null) in the header.
    std::string HeaderText(Cursor& header, const char* what)
    {
        const DWORD offset = header.Number(2), length = header.Number(2);
        return Cursor(bytes_, offset, what).Text(length);
    }

    // Each entry: id, length, the text with its null.
    void ReadStrings(DWORD count, DWORD offset)
    {
        Cursor entry(bytes_, offset, "STRINGS section");
        for (DWORD i = 0; i < count; i++) {
            const DWORD id = entry.Number(2);
            strings_[id] = entry.Text(entry.Number(2));
        }
    }

    // A path of string ids as its parts.
    std::vector<std::string> Parts(const std::vector<DWORD>& ids, const char* section)
    {
        std::vector<std::string> parts;
        for (DWORD id : ids) {
            auto found = strings_.find(id);
            if (found == strings_.end())
                throw SetupFault(std::string("the setup file's ") + section +
                                 Format(" names string %u, which it lacks", id));
            parts.push_back(found->second);
        }
        return parts;
    }

    // The device path of a standard folder's name, such as %CE2%.
    std::string StandardFolder(const std::string& name, const std::wstring& appName)
    {
        if (name == "%InstallDir%")
            return "\\Program Files\\" + std::string(appName.begin(), appName.end());
        unsigned number = 0;
        char end = 0;
        if (sscanf(name.c_str(), "%%CE%u%c", &number, &end) == 2 && end == '%' && number >= 1 && number <= 17 &&
            *kStandardFolders[number - 1] && name == Format("%%CE%u%%", number))
            return kStandardFolders[number - 1];
        throw SetupFault("the setup file names the folder " + Quoted(name) + ", which a Pocket PC does not have");
    }

    // A directory's path, from a standard folder or the device's root; a
    // part that could leave the folder, or the drive, is refused.
    std::wstring DirectoryPath(const std::vector<std::string>& parts, InstallPlan& plan)
    {
        std::string path;
        for (size_t i = 0; i < parts.size(); i++) {
            const std::string& part = parts[i];
            if (i == 0 && part.size() > 1 && part[0] == '%') {
                path = StandardFolder(part, plan.appName);
                continue;
            }
            if (part.empty() || part == "." || part == ".." || part.find_first_of(":\\/%") != std::string::npos)
                throw SetupFault("the setup file's directory " + Quoted(part) + " lies outside the device's drive");
            path += "\\" + part;
        }
        if (path.empty())
            throw SetupFault("the setup file has a directory without a path");
        return Wide(path);
    }

    // Each entry: id, length of its path, the path as string ids.
    void ReadDirectories(DWORD count, DWORD offset, InstallPlan& plan)
    {
        Cursor entry(bytes_, offset, "DIRS section");
        for (DWORD i = 0; i < count; i++) {
            const DWORD id = entry.Number(2);
            directories_[id] = DirectoryPath(Parts(entry.Ids(entry.Number(2)), "DIRS section"), plan);
        }
    }

    // The cabinet file whose extension is the number, such as 0Tolvane.001.
    const std::string& CabinetFile(DWORD number, const std::string& installedName)
    {
        for (const auto& file : cabinet_) {
            const std::string& name = file.first;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, Format(".%03u", number)) == 0)
                return file.second;
        }
        throw SetupFault(Format("the cabinet does not hold file %u (", number) + Quoted(installedName) +
                         ") that its setup file names");
    }

    // Adds a directory and its parents to those to make, each once.
    void PlanDirectories(const std::wstring& path, InstallPlan& plan)
    {
        for (size_t slash = path.find(L'\\', 1);; slash = path.find(L'\\', slash + 1)) {
            const std::wstring directory = path.substr(0, slash);
            if (planned_.insert(directory).second)
                plan.directories.push_back(directory);
            if (slash == std::wstring::npos)
                break;
        }
    }

    // Each entry: the file's number in the cabinet, its directory, the
    // number again, flags, the length of its name and the name.
    void ReadFiles(DWORD count, DWORD offset, InstallPlan& plan)
    {
        Cursor entry(bytes_, offset, "FILES section");
        for (DWORD i = 0; i < count; i++) {
            const DWORD number = entry.Number(2), directory = entry.Number(2);
            entry.Number(2);
            const DWORD flags = entry.Number(4);
            const std::string name = entry.Text(entry.Number(2));
            if (name.empty() || name == "." || name == ".." || name.find_first_of(":\\/") != std::string::npos)
                throw SetupFault("the setup file's file name " + Quoted(name) + " has a path in it");
            auto folder = directories_.find(directory);
            if (folder == directories_.end())
                throw SetupFault("the setup file puts " + Quoted(name) +
                                 Format(" in directory %u, which it lacks", directory));
            PlanDirectories(folder->second, plan);
            plan.files.push_back(
                {folder->second + L"\\" + Wide(name), &CabinetFile(number, name), (flags & kKeepExistingFile) != 0});
        }
    }

    // Each entry: id, root (1 HKCR to 4 HKU), 0, length of the key, the key
    // as string ids.
    void ReadHives(DWORD count, DWORD offset)
    {
        Cursor entry(bytes_, offset, "REGHIVES section");
        for (DWORD i = 0; i < count; i++) {
            const DWORD id = entry.Number(2), root = entry.Number(2);
            entry.Number(2);
            const std::vector<std::string> parts = Parts(entry.Ids(entry.Number(2)), "REGHIVES section");
            if (root < 1 || root > 4)
                throw SetupFault(Format(
                    "the setup file's registry key %u has the root %u, none of HKCR, HKCU, HKLM, HKU", id, root));
            std::wstring key;
            for (const std::string& part : parts) {
                if (part.empty() || part.find('\\') != std::string::npos)
                    throw SetupFault("the setup file's registry key part " + Quoted(part) + " is not a key's name");
                key += (key.empty() ? L"" : L"\\") + Wide(part);
            }
            Hive& hive = hives_[id];
            hive.root = &kRegistryRoots[root - 1];
            hive.key = key;
        }
    }

    // A text value, with %CEn% and %InstallDir% replaced when asked.
    std::wstring Expand(const std::string& text, bool substitute, const std::wstring& appName)
    {
        if (!substitute)
            return Wide(text);
        std::string out;
        for (size_t at = 0; at < text.size();) {
            const size_t start = text.find('%', at),
                         end = start == std::string::npos ? start : text.find('%', start + 1);
            if (end == std::string::npos) {
                out += text.substr(at);
                break;
            }
            out += text.substr(at, start - at) + StandardFolder(text.substr(start, end - start + 1), appName);
            at = end + 1;
        }
        return Wide(out);
    }

    // Each entry: id, hive, whether to substitute folders, type and flags,
    // the length of the data, then the value's name and its data.
    void ReadValues(DWORD count, DWORD offset, InstallPlan& plan)
    {
        Cursor entry(bytes_, offset, "REGKEYS section");
        for (DWORD i = 0; i < count; i++) {
            entry.Number(2);
            const DWORD hiveId = entry.Number(2), substitute = entry.Number(2), typeAndFlags = entry.Number(4);
            std::string data = entry.Take(entry.Number(2));
            const size_t nameEnd = data.find('\0');
            if (nameEnd == std::string::npos)
                throw SetupFault("the setup file's REGKEYS section has a value without a name");
            const std::string name = data.substr(0, nameEnd);
            data.erase(0, nameEnd + 1);
            auto hive = hives_.find(hiveId);
            if (hive == hives_.end())
                throw SetupFault("the setup file puts the value " + Quoted(name) +
                                 Format(" in registry key %u, which it lacks", hiveId));
            PlannedValue value{
                hive->second.root, hive->second.key, Wide(name), 0, {}, (typeAndFlags & kNoClobber) != 0};
            ValueData(typeAndFlags & ~kNoClobber, data, substitute == 1, plan.appName, name, value);
            plan.values.push_back(value);
        }
    }

    // The value's type and its data in the registry's form: texts wide.
    void ValueData(DWORD type, const std::string& data, bool substitute, const std::wstring& appName,
                   const std::string& name, PlannedValue& value)
    {
        std::wstring texts;
        switch (type) {
        case 0x00010001:  // TYPE_DWORD: four bytes
            if (data.size() != 4)
                throw SetupFault("the setup file's number " + Quoted(name) + " is not four bytes");
            value.type = REG_DWORD;
            value.data.assign(data.begin(), data.end());
            return;
        case 0x00000000:  // TYPE_SZ: a text with its null
            if (data.empty() || data.find('\0') != data.size() - 1)
                throw SetupFault("the setup file's text " + Quoted(name) + " is not one text");
            value.type = REG_SZ;
            texts = Expand(data.substr(0, data.size() - 1), substitute, appName) + L'\0';
            break;
        case 0x00010000:  // TYPE_MULTI_SZ: texts with their nulls, then an empty one
            if (data.empty() || data.back() != '\0' || (data.size() > 1 && data[data.size() - 2] != '\0'))
                throw SetupFault("the setup file's texts " + Quoted(name) + " have no end");
            value.type = REG_MULTI_SZ;
            for (size_t at = 0; at + 1 < data.size(); at = data.find('\0', at) + 1)
                texts += Expand(data.c_str() + at, substitute, appName) + L'\0';
            texts += L'\0';
            break;
        case 0x00000001:  // TYPE_BINARY: raw bytes
            value.type = REG_BINARY;
            value.data.assign(data.begin(), data.end());
            return;
        default:
            throw SetupFault("the setup file's value " + Quoted(name) +
                             Format(" has a registry type this installer does not know (0x%08X)", type));
        }
        const BYTE* bytes = reinterpret_cast<const BYTE*>(texts.data());
        value.data.assign(bytes, bytes + texts.size() * sizeof(wchar_t));
    }

    struct Hive {
        const RegistryRoot* root;
        std::wstring key;
    };

    const std::string& bytes_;
    const CabinetFiles& cabinet_;
    std::map<DWORD, std::string> strings_;
    std::map<DWORD, std::wstring> directories_;
    std::map<DWORD, Hive> hives_;
    std::set<std::wstring> planned_;
};

// The setup file: the one file whose extension is .000.
const std::string& SetupFileOf(const CabinetFiles& cabinet)
{
    const std::string* setup = nullptr;
    for (const auto& file : cabinet) {
        const std::string& name = file.first;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".000") == 0) {
            if (setup)
                throw SetupFault("the cabinet holds two setup files (.000)");
            setup = &file.second;
        }
    }
    if (!setup)
        throw SetupFault("the cabinet holds no setup file (.000): it is no Windows CE installation cabinet");
    return *setup;
}

}  // namespace

InstallPlan ReadSetupFile(const CabinetFiles& cabinet, const DeviceFacts& device)
{
    return SetupReader(SetupFileOf(cabinet), cabinet).Read(device);
}

std::string ProcessorName(DWORD processor)
{
    for (const auto& known : kProcessors)
        if (known.number == processor)
            return known.name;
    return "unknown";
}
