#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "device/device_screen.h"
#include "device/today_registry.h"
#include "tests/support/item_key.h"
#include "tests/support/temporary_keys.h"
#include "today/runner/screenshot.h"
#include "today/runner/script.h"
#include "today/shell/settings_page.h"
#include "today/shell/settings_process.h"
#include "today/shell/shell_paint.h"
#include "today/shell/shell_window.h"
#include "today/shell/today_items.h"

// End-to-end runs of the emulated device, driven by scripts and checked
// against committed screenshots: on its own 240x320 virtual desktop, and in
// the device window that today.exe opens on the test display's desktop.
namespace {

const std::string kRow = " " + std::to_string(kFirstItemTop + 10) + "\n";  // a tap's y on the row

// The folder of the built programs, and a scratch folder for scripts and
// screenshots.
std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    *wcsrchr(path, L'\\') = 0;
    return std::wstring(path) + L"\\";
}
std::wstring WorkFolder()
{
    wchar_t path[MAX_PATH];
    GetTempPathW(MAX_PATH, path);
    lstrcatW(path, L"tolvane-today-test\\");
    CreateDirectoryW(path, nullptr);
    return path;
}
const std::wstring kBin = ProgramFolder(), kWork = WorkFolder();

bool onVirtualDesktop = true;

// Every run of the device ends within this, or is ended.
const DWORD kRunLimit = 120000;

// Runs a program to its end, on a 240x320 virtual desktop when asked, its
// standard error into a file when one is named. A run that outlives its
// limit is ended and answers STILL_ACTIVE.
DWORD RunProgram(std::wstring command, bool virtualDesktop = false, const std::wstring& errors = L"")
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    // Wine 8 sizes a virtual desktop by the entry of its name, Wine 10 every one by "Default".
    for (const wchar_t* desktop : {L"TolvaneTest", L"Default"})
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", desktop, REG_SZ, L"240x320",
                        sizeof(L"240x320"));
    // Named either way: after a program on the virtual desktop, Wine would
    // start the next one there too.
    startup.lpDesktop = const_cast<wchar_t*>(virtualDesktop ? L"TolvaneTest" : L"Default");
    SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!errors.empty()) {
        file = CreateFileW(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = file;
    }
    PROCESS_INFORMATION process = {};
    DWORD code = 0x80000000;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, file != INVALID_HANDLE_VALUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, kRunLimit) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, STILL_ACTIVE);  // its device's programs end with it
        WaitForSingleObject(process.hProcess, 5000);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return code;
}

// Ends what a failed test may have left running: a device window, a Today
// screen (and with either, its device).
void EndDevicesLeftBehind()
{
    for (const wchar_t* kind : {L"TolvaneDeviceWindow", kShellClassName}) {
        while (HWND window = FindWindowW(kind, nullptr)) {
            DWORD id = 0;
            GetWindowThreadProcessId(window, &id);
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
            if (!process)
                break;
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
}

std::wstring Today(const std::wstring& arguments = L"")
{
    return L"\"" + kBin + L"today.exe\" --clock 2026-12-13T14:25:36" + arguments;
}

void Install(bool install = true)
{
    EndDevicesLeftBehind();
    RunProgram(L"\"" + kBin + L"install.exe\" uninstall");
    if (install) {
        ASSERT_EQ(RunProgram(L"\"" + kBin + L"install.exe\" install \"" + kBin + L"Tolvane.cab\""), 0u);
    }
}

// Writes the script and runs the device with it.
DWORD RunScript(const std::string& script, const std::wstring& name, const std::wstring& errors = L"")
{
    const std::wstring path = kWork + name + L".txt";
    std::ofstream(path.c_str()) << script;
    return RunProgram(Today(L" --script \"" + path + L"\""), onVirtualDesktop, errors);
}

// A script's screenshot command, and the file it writes.
std::string ShotPath(const std::string& name)
{
    return std::string(kWork.begin(), kWork.end()) + name + ".png";
}
std::string Shot(const std::string& name)
{
    DeleteFileA(ShotPath(name).c_str());
    return "screenshot " + ShotPath(name) + "\n";
}

std::string FileBytes(const std::string& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Log(const std::wstring& path)
{
    return FileBytes(std::string(path.begin(), path.end()));
}

// A screenshot against its committed golden image, by default the one of
// its name. The screenshot writer encodes the same pixels to the same
// bytes, so the files are compared. TOLVANE_UPDATE_GOLDEN=1 writes this
// run's over them.
::testing::AssertionResult MatchesGolden(const std::string& name, std::string golden = "")
{
    golden = golden.empty() ? "tests/today/golden/" + name + ".png" : golden;
    const std::string goldenPath = "Z:" TOLVANE_SOURCE_DIR "/" + golden;
    if (GetEnvironmentVariableW(L"TOLVANE_UPDATE_GOLDEN", nullptr, 0) > 0)
        CopyFileA(ShotPath(name).c_str(), goldenPath.c_str(), FALSE);
    const std::string bytes = FileBytes(ShotPath(name));
    if (bytes.empty() || bytes != FileBytes(goldenPath))
        return ::testing::AssertionFailure() << golden << ": the screenshot differs (or is missing)";
    return ::testing::AssertionSuccess();
}

class Device : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        onVirtualDesktop = GetParam();
        Install();
    }
    void TearDown() override { Install(false); }
};
INSTANTIATE_TEST_SUITE_P(Screens, Device, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& screen) {
                             return screen.param ? "VirtualDesktop" : "DeviceWindow";
                         });

TEST_P(Device, PlaysAHandFromAFreshInstall)
{
    // The settings page's ok (the pad's action) with nothing changed keeps the
    // hand. The device's rules hold after every step, the page's among them.
    ASSERT_EQ(RunScript("rules\n" + Shot("dealt") + "tap 55" + kRow + "tap 95" + kRow + Shot("marked") +
                            "settings\nkey action\n" + Shot("kept") + "tap 138" + kRow + Shot("drawn") + "quit\n",
                        L"play"),
              0u);
    EXPECT_TRUE(MatchesGolden("dealt"));
    EXPECT_TRUE(MatchesGolden("marked", "docs/today.png"));
    EXPECT_TRUE(MatchesGolden("kept", "docs/today.png"));
    EXPECT_TRUE(MatchesGolden("drawn"));
}

TEST_P(Device, OptionsFromTheIconAResetThenUnlinkFromTheSettings)
{
    // Template 500 full screen below the title bar; its title bar's ok; the
    // settings page's first Options button; the card back list opened, then
    // nine presses from Blue to Red Stripe; Five Discards; Reset Wallet. The
    // row shows the new back and $100 as soon as the dialog is gone.
    const std::string titleOk = "tap 224 13\n";
    std::string script = "tap 35" + kRow + "tap 10" + kRow + Shot("options") + "tap 80 79\n";
    for (int i = 0; i < 9; ++i)
        script += "key down\n";
    script += "key action\ntap 21 101\ntap 147 103\n" + titleOk + Shot("options-closed");
    for (int x : {55, 75, 95, 115})
        script += "tap " + std::to_string(x) + kRow;
    // A soft reset loads the item afresh: the first deal again, under the stored back.
    script += Shot("five-marked") + "tap 138" + kRow + "reset\ntap 35" + kRow + Shot("after-reset") +
              "settings\ntap 195 66\n" + Shot("stored") + "tap 100 224\n" + Shot("paytable") + titleOk +
              "tap 95 204\n" + Shot("question") + "key action\n" + Shot("unlinked") + "quit\n";
    ASSERT_EQ(RunScript(script, L"unlink"), 0u);
    EXPECT_EQ(Stored(L"DISCARD").second, 1u);
    EXPECT_EQ(Stored(L"CARDBACK").second, 162u);
    EXPECT_EQ(Stored(L"DLL").first, 0u) << "unlinked";
    for (const char* name :
         {"options", "options-closed", "five-marked", "after-reset", "stored", "paytable", "question", "unlinked"})
        EXPECT_TRUE(MatchesGolden(name));
    Install();
    ASSERT_EQ(RunScript(Shot("reinstalled") + "quit\n", L"reinstalled"), 0u);
    EXPECT_TRUE(MatchesGolden("reinstalled", "tests/today/golden/dealt.png"))
        << "the library loads again: the first deal";
}

// An item of the Today screen, its key gone with the test.
void AddItem(TemporaryKeys& keys, const wchar_t* name, const wchar_t* dll, DWORD enabled, DWORD order)
{
    const std::wstring key = keys.Add(TodayItemKeyPath(name));
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"DLL", REG_SZ, dll, (lstrlenW(dll) + 1) * 2);
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Type", REG_DWORD, &kCustomItemType, sizeof(DWORD));
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Enabled", REG_DWORD, &enabled, sizeof(DWORD));
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Order", REG_DWORD, &order, sizeof(DWORD));
}

// A program of the build copied into the device's \\Windows as name.
void CopyOntoDevice(const std::wstring& program, const std::wstring& name)
{
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    CopyFileW((kBin + program).c_str(), (std::wstring(windows) + L"\\" + name).c_str(), FALSE);
}

// A test item of the build, copied onto the device and listed, enabled,
// under name.
void AddTestItem(TemporaryKeys& keys, const wchar_t* name, const std::wstring& library, DWORD order)
{
    CopyOntoDevice(library, library);
    AddItem(keys, name, (L"\\Windows\\" + library).c_str(), 1, order);
}

// The items a window of the test loads as the Today screen does: in its
// WM_CREATE, where Wine would swallow a fault that reached the window
// procedure's caller; it shares what it left out with its settings.
LoadedItems loadedItems;
LRESULT CALLBACK LoadingShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        loadedItems = LoadTodayItems(window);
        ShareLeftOut(window, &loadedItems.leftOut);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateLoadingShell()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = LoadingShellProc;
    wc.lpszClassName = L"TolvaneLoadingShell";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
}

// What the Today screen heard as its settings page closed; 99: nothing.
WPARAM HeardClosed(HWND shell)
{
    MSG closed = {};
    return PeekMessageW(&closed, shell, WM_TODAY_SETTINGSCLOSED, WM_TODAY_SETTINGSCLOSED, PM_REMOVE) ? closed.wParam
                                                                                                     : 99;
}

// A key pressed on a control of the page, through the Today screen's
// message loop as the device delivers it, and what the Today screen heard.
WPARAM PressKey(HWND shell, HWND control, WPARAM key)
{
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG press = {control, message, key, 0, 0, {}};
        if (!IsSettingsPageMessage(shell, &press)) {
            TranslateMessage(&press);
            DispatchMessageW(&press);
        }
    }
    return HeardClosed(shell);
}

// The good items stand in their order, ties in registry order; each bad
// one is left out, with its reason.
TEST(TodayItems, StandInTheirOrderEachBadItemLeftOutSayingWhyTheSettingsPageShowsItSo)
{
    Install();  // "Tolvane", order 0
    TemporaryKeys keys;
    const struct {
        const wchar_t* name;
        DWORD order, enabled;
    } good[] = {{L"Zeta", 2, 1}, {L"Beta", 1, 1}, {L"Off", 1, 0}, {L"Alpha", 1, 1}, {L"Gamma", 0, 1}};
    for (const auto& item : good)
        AddItem(keys, item.name, L"\\Windows\\Tolvane.dll", item.enabled, item.order);
    CopyOntoDevice(L"faulty_item.dll", L"faulty_item.dll");
    CopyOntoDevice(L"coredll.dll", L"noexport.dll");
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::ofstream((std::wstring(windows) + L"\\notpe.dll").c_str()) << "not a library";
    const std::wstring longPath(100000, L'x');
    const struct {
        const wchar_t *name, *dll, *value;  // value: one to replace (REG_NONE: to delete) after the usual ones
        DWORD type;
        const wchar_t* message;  // a part of why it is left out; empty: left out without a word, as off
        const wchar_t* listed;   // how the settings page lists it, after its name
    } bad[] = {
        {L"Unlinked", L"\\Windows\\Tolvane.dll", L"DLL", REG_NONE,
         L"its key has no \"DLL\" value, as after an unlink (./tools/run.sh install", L" (no library)"},
        {L"NumberDll", L"", L"DLL", REG_DWORD, L"its \"DLL\" value is not text", L" (no library)"},
        {L"LongDll", longPath.c_str(), nullptr, 0, L"its \"DLL\" value is 100000 characters long", L" (no library)"},
        {L"Relative", L"Windows\\Tolvane.dll", nullptr, 0, L"is not a device path", L" (no library)"},
        {L"Missing", L"\\Windows\\missing.dll", nullptr, 0, L"\\Windows\\missing.dll is not on the device",
         L" (no library)"},
        {L"NotPE", L"\\Windows\\notpe.dll", nullptr, 0, L"\\Windows\\notpe.dll is not a library (error 193)",
         L" (no library)"},
        {L"NoExport", L"\\Windows\\noexport.dll", nullptr, 0, L"\\Windows\\noexport.dll has no export 240",
         L" (left out)"},
        {L"Faulty", L"\\Windows\\faulty_item.dll", nullptr, 0, L"its export 240 faulted", L" (left out)"},
        {L"TextEnabled", L"\\Windows\\Tolvane.dll", L"Enabled", REG_SZ, L"", L""},
    };
    for (const auto& item : bad) {
        AddItem(keys, item.name, item.dll, 1, 0);
        const std::wstring key = TodayItemKeyPath(item.name);
        if (item.value && item.type == REG_NONE)
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), item.value);
        else if (item.value)
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), item.value, item.type, L"1", sizeof(L"1"));
    }
    HWND shell = CreateLoadingShell();
    std::vector<std::wstring> names;
    for (const TodayItem& item : loadedItems.started) {
        names.push_back(item.record.szName);
        DestroyWindow(item.record.hwndCustom);
        FreeLibrary(item.library);  // so that the installer can remove it
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Gamma", L"Tolvane", L"Alpha", L"Beta", L"Zeta"}));
    // One reason an item: the Today screen's, the page's and the Options button's.
    HWND page = OpenSettingsPage(shell);
    for (const auto& item : bad) {
        const std::wstring why = WhyTodayItemLeftOut(shell, item.name);
        EXPECT_TRUE(*item.message ? why.find(item.message) != std::wstring::npos : why.empty()) << why;
        EXPECT_EQ(ItemOptionsProblem(shell, item.name), why) << item.name;
        EXPECT_TRUE(FindWindowExW(page, nullptr, L"BUTTON", (std::wstring(item.name) + item.listed).c_str()))
            << item.name;
    }
    PressKey(shell, page, VK_ESCAPE);
    // The page's ok stores its ticks; Escape leaves them as they were. What
    // an item's options stored while the page was open is the items' either
    // way, and the Today screen starts them again.
    const struct {
        bool optionsStored;
        WPARAM key, changed;
        DWORD textEnabled;  // 1: the item's text "1" left as it was
    } closings[] = {{false, VK_ESCAPE, 0, 1}, {true, VK_ESCAPE, 1, 1}, {false, VK_RETURN, 1, 0}};
    const DWORD kRedStripe = 162;
    for (const auto& c : closings) {
        page = OpenSettingsPage(shell);
        HWND text = FindWindowExW(page, nullptr, L"BUTTON", L"TextEnabled");
        ASSERT_TRUE(text);
        EXPECT_FALSE(SendMessageW(text, BM_GETCHECK, 0, 0));
        SendMessageW(text, BM_CLICK, 0, 0);
        if (c.optionsStored)
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, kItemKeyPath, L"CARDBACK", REG_DWORD, &kRedStripe, sizeof(kRedStripe));
        EXPECT_EQ(PressKey(shell, text, c.key), c.changed) << c.key << c.optionsStored;
        EXPECT_FALSE(IsWindow(page));
        EXPECT_EQ(Stored(L"CARDBACK").first, c.optionsStored ? DWORD(REG_DWORD) : 0u);
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kItemKeyPath, L"CARDBACK");
        DWORD type = 0, size = 0;
        RegGetValueW(HKEY_LOCAL_MACHINE, TodayItemKeyPath(L"TextEnabled").c_str(), L"Enabled", RRF_RT_ANY, &type,
                     nullptr, &size);
        EXPECT_EQ(type == REG_SZ, c.textEnabled == 1) << c.key << c.optionsStored;
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, TodayItemKeyPath(L"TextEnabled").c_str(), L"Enabled", REG_SZ, L"1",
                        sizeof(L"1"));
    }
    DestroyWindow(shell);
    Install(false);
}

// What has the focus on the settings page: a tick by its text, an Options
// button by the tick beside it.
std::wstring Focused(HWND page)
{
    wchar_t text[64] = L"", box[64] = L"";
    HWND focus = GetFocus();
    GetWindowTextW(focus, text, 64);
    if (!IsChild(page, focus))
        return std::wstring(L"outside the page: ") + text;
    if (lstrcmpW(text, L"Options...") != 0)
        return text;
    GetWindowTextW(GetWindow(focus, GW_HWNDPREV), box, 64);
    return std::wstring(L"Options of ") + box;
}

// Whether the focused control lies wholly in view on the page, as far as
// the device's screen shows it (the test's desktop is larger).
bool FocusInView(HWND page)
{
    RECT shown, view = {0, 0, kDeviceScreenWidth, kDeviceScreenHeight - kTitleBarHeight};
    GetWindowRect(GetFocus(), &shown);
    MapWindowPoints(page, nullptr, reinterpret_cast<POINT*>(&view), 2);
    RECT both;
    return IntersectRect(&both, &view, &shown) && EqualRect(&both, &shown);
}

// The page's keys are the dialog manager's: from the first control, Tab and
// the arrows go through every control that takes the focus, round at either
// end, the rows scrolled to keep it in view; Space ticks, Enter on a tick
// is ok (also after the focus passed an Options button, which the dialog
// manager makes the default in passing), Escape is cancel. The page lists
// Row00 to Row12, then Tolvane: the rows list no library, their ticks
// greyed, their Options buttons taking the focus.
TEST(TodayItems, TheSettingsPageMovesTheFocusAndClosesAsADialog)
{
    Install();  // "Tolvane", order 0, with options
    TemporaryKeys keys;
    const int kRows = 13;  // more than fit
    for (int i = 0; i < kRows; ++i) {
        const std::wstring name = L"Row" + std::to_wstring(100 + i).substr(1);
        AddItem(keys, name.c_str(), L"\\Windows\\missing.dll", 1, 1 + i);
        const DWORD options = 1;
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, TodayItemKeyPath(name).c_str(), L"Options", REG_DWORD, &options,
                        sizeof(options));
    }
    const struct {
        const char* keys;      // T Tab, D Down, U Up, space, E Enter, X Escape
        const wchar_t* focus;  // after them, while the page stays
        WPARAM closed;         // what the Today screen hears; 99: the page stays
        DWORD enabled;         // Tolvane's "Enabled" after them
    } cases[] = {
        {"", L"Options of Row00 (no library)", 99, 1},
        {"T", L"Options of Row01 (no library)", 99, 1},
        {"DD", L"Options of Row02 (no library)", 99, 1},
        {"U", L"Options of Tolvane", 99, 1},
        {"UU", L"Tolvane", 99, 1},
        {"UUD", L"Options of Tolvane", 99, 1},
        {"TTTTTTTTTTTTTTT", L"Options of Row00 (no library)", 99, 1},
        {"UU ", L"Tolvane", 99, 1},
        {"UU X", nullptr, 0, 1},
        {"UU E", nullptr, 1, 0},
    };
    const std::map<char, WPARAM> pressed = {{'T', VK_TAB},   {'D', VK_DOWN},   {'U', VK_UP},
                                            {' ', VK_SPACE}, {'E', VK_RETURN}, {'X', VK_ESCAPE}};
    HWND shell = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    for (const auto& c : cases) {
        HWND page = OpenSettingsPage(shell);
        ASSERT_TRUE(page) << c.keys;
        HWND tolvane = FindWindowExW(page, nullptr, L"BUTTON", L"Tolvane");
        const bool ticked = SendMessageW(tolvane, BM_GETCHECK, 0, 0) == BST_CHECKED;
        WPARAM closed = 99;
        for (const char* key = c.keys; *key && IsChild(page, GetFocus()); ++key)
            closed = PressKey(shell, GetFocus(), pressed.at(*key));
        EXPECT_EQ(closed, c.closed) << c.keys;
        EXPECT_EQ(Stored(L"Enabled").second, c.enabled) << c.keys;
        if (c.focus) {
            EXPECT_EQ(Focused(page), c.focus) << c.keys;
            EXPECT_TRUE(FocusInView(page)) << c.keys;
            EXPECT_EQ(SendMessageW(tolvane, BM_GETCHECK, 0, 0) == BST_CHECKED, ticked == !strchr(c.keys, ' '))
                << c.keys;
        }
        DestroyWindow(page);  // the page a case left open
        HeardClosed(shell);
        const DWORD enabled = 1;
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kItemKeyPath, L"Enabled", REG_DWORD, &enabled, sizeof(enabled));
    }
    // A quick second tap comes as a double-click: it is a tap all the same.
    HWND page = OpenSettingsPage(shell);
    HWND tolvane = FindWindowExW(page, nullptr, L"BUTTON", L"Tolvane");
    const LRESULT ticked = SendMessageW(tolvane, BM_GETCHECK, 0, 0);
    for (UINT press : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        SendMessageW(tolvane, press, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(tolvane, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    EXPECT_EQ(SendMessageW(tolvane, BM_GETCHECK, 0, 0), ticked) << "ticked twice";
    DestroyWindow(page);
    HeardClosed(shell);
    DestroyWindow(shell);
    Install(false);
}

// Run by the test below, on the runs' virtual desktop: what today.exe sees there.
TEST(VirtualDesktop, DISABLED_SeenFromInside)
{
    EXPECT_TRUE(DesktopIsDeviceScreen()) << GetSystemMetrics(SM_CXSCREEN) << "x" << GetSystemMetrics(SM_CYSCREEN);
}

TEST(VirtualDesktop, IsTheDeviceScreenOnEveryWine)
{
    EXPECT_EQ(RunProgram(L"\"" + kBin +
                             L"today_test.exe\" --gtest_also_run_disabled_tests "
                             L"--gtest_filter=VirtualDesktop.DISABLED_SeenFromInside",
                         true),
              0u);
}

// The Today screen itself tells its settings why it left an item out: the
// item's Options button (its row the first) says so rather than starting
// its options.
TEST(TodayItems, TheTodayScreensSettingsSayWhyItLeftAnItemOut)
{
    Install();
    TemporaryKeys keys;
    AddTestItem(keys, L"Faulty", L"faulty_item.dll", 1);
    const DWORD hasOptions = 1;
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, TodayItemKeyPath(L"Faulty").c_str(), L"Options", REG_DWORD, &hasOptions,
                    sizeof(hasOptions));
    const std::wstring errors = kWork + L"left-out.log";
    const DWORD code = RunScript("settings\ntap 190 66\nclose\nquit\n", L"left-out", errors);
    Install(false);
    EXPECT_EQ(code, 0u);
    EXPECT_NE(Log(errors).find("the options of item \"Faulty\" cannot open: its export 240 faulted"), std::string::npos)
        << Log(errors);
}

TEST(Quiet, ADeviceThatNeverSettlesEndsTheRunNamingWhatIsBusy)
{
    Install();
    TemporaryKeys keys;
    AddTestItem(keys, L"Restless", L"restless.dll", 1);
    SetEnvironmentVariableW(L"TOLVANE_QUIET_SECONDS", L"2");
    const std::wstring errors = kWork + L"restless.log";
    const DWORD code = RunScript("# a comment\n" + Shot("restless"), L"restless", errors);
    SetEnvironmentVariableW(L"TOLVANE_QUIET_SECONDS", nullptr);
    Install(false);
    EXPECT_EQ(code, 1u);
    EXPECT_NE(Log(errors).find("restless.txt:2: the device was not quiet within 2 s: the window \"\" (RestlessItem)"),
              std::string::npos)
        << Log(errors);
}

// The test item that misbehaves as TOLVANE_BAIT says, alone on the Today
// screen, its row the first.
void AddBait(TemporaryKeys& keys, const wchar_t* fault = nullptr)
{
    Install(false);
    AddTestItem(keys, L"Bait", L"bait.dll", 0);
    SetEnvironmentVariableW(L"TOLVANE_BAIT", fault);
}
void RemoveBait()
{
    SetEnvironmentVariableW(L"TOLVANE_BAIT", nullptr);
}

// A program that shows its window a while after the tap that started it:
// each tap's step waits for it, every time (a wait that missed it one time
// in three would pass these twelve once in a hundred).
TEST(Quiet, AProgramThatShowsItsWindowLateIsWaitedForEveryTime)
{
    TemporaryKeys keys;
    AddBait(keys, L"late");
    const int kTaps = 12;
    std::string script = Shot("before-late");
    for (int i = 0; i < kTaps; ++i)
        script += "tap 35" + kRow + Shot("late-" + std::to_string(i)) + "close\n";
    EXPECT_EQ(RunScript(script, L"late"), 0u);
    RemoveBait();
    const std::string shown = FileBytes(ShotPath("late-0"));
    EXPECT_TRUE(shown != FileBytes(ShotPath("before-late"))) << "the message box shows";
    for (int i = 1; i < kTaps; ++i)
        EXPECT_TRUE(FileBytes(ShotPath("late-" + std::to_string(i))) == shown) << "tap " << i;
}

// Arguments that are not what they say are refused before the device
// starts, each with its reason and status 2.
TEST(Arguments, ABadSeedOrCountOfGremlinsIsRefusedSayingWhy)
{
    const struct {
        const wchar_t* arguments;
        const char* message;
    } cases[] = {
        {L"abc 10", "a seed from 0 to 4294967295, not \"abc\""},
        {L"0x10", "a seed from 0 to 4294967295, not \"0x10\""},
        {L"3.5", "not \"3.5\""},
        {L"-1", "not \"-1\""},
        {L"\"\"", "not \"\""},
        {L"4294967296", "not \"4294967296\""},
        {L"99999999999999999999", "not \"99999999999999999999\""},
        {L"3 0", "runs from 1 to 1000000 events, not \"0\""},
        {L"3 -1", "events, not \"-1\""},
        {L"3 1000001", "events, not \"1000001\""},
        {L"3 abc", "events, not \"abc\""},
        {L"3 99999999999999999999", "events, not \"99999999999999999999\""},
    };
    const std::wstring errors = kWork + L"arguments.log";
    for (const auto& c : cases) {
        EXPECT_EQ(RunProgram(Today(L" --gremlins " + std::wstring(c.arguments)), true, errors), 2u) << c.message;
        EXPECT_NE(Log(errors).find(c.message), std::string::npos) << Log(errors);
    }
}

// The gremlins write their screenshots and replay script where they run.
DWORD RunGremlins(const std::wstring& events, const std::wstring& errors)
{
    SetCurrentDirectoryW(kWork.c_str());
    return RunProgram(Today(L" --gremlins 7 " + events), true, errors);
}

TEST(Gremlins, AShortRunHoldsEveryRule)
{
    Install();
    const std::wstring errors = kWork + L"gremlins.log";
    const DWORD code = RunGremlins(L"50", errors);
    Install(false);
    EXPECT_EQ(code, 0u) << Log(errors);
    EXPECT_NE(Log(errors).find("50 events"), std::string::npos) << Log(errors);
}

// An item that breaks a rule when tapped: the run stops at it, naming the
// rule; the replay script of a stale row, the rule that depends most on the
// events before, breaks it again.
TEST(Gremlins, EachRuleStopsTheRunAtItsPlantedFaultAndTheReplayToo)
{
    const struct {
        const wchar_t* fault;
        const char* rule;
    } cases[] = {
        {L"stale", "the rows show what their items paint"},
        {L"offscreen", "every window inside the screen"},
        {L"barless", "every dialog with its title bar"},
        {L"disable", "the Today screen enabled without a dialog"},
        {L"leak", "objects within bounds"},
        {L"crash", "no program crashed"},
        {L"hang", "every program answers"},
    };
    TemporaryKeys keys;
    AddBait(keys);
    SetEnvironmentVariableW(L"TOLVANE_QUIET_SECONDS", L"2");
    for (const auto& c : cases) {
        SetEnvironmentVariableW(L"TOLVANE_BAIT", c.fault);
        // A log of its own: a program of an earlier run may still hold one open.
        const std::wstring errors = kWork + c.fault + L".log", replayed = kWork + c.fault + L"-replay.log";
        EXPECT_EQ(RunGremlins(L"60", errors), 1u) << c.rule;
        EXPECT_NE(Log(errors).find(std::string("broke the rule \"") + c.rule), std::string::npos) << Log(errors);
        if (c.fault != cases[0].fault)
            continue;
        EXPECT_EQ(RunProgram(Today(L" --script \"" + kWork + L"gremlins-7.txt\""), true, replayed), 1u) << c.rule;
        EXPECT_NE(Log(replayed).find(std::string("the rule \"") + c.rule + "\" is broken"), std::string::npos)
            << Log(replayed);
    }
    SetEnvironmentVariableW(L"TOLVANE_QUIET_SECONDS", nullptr);
    RemoveBait();
}

// Where the Today screen stands against the device window's client area,
// once it has followed the window (at most a few seconds).
SIZE TodayOffset(HWND device, HWND today)
{
    SIZE offset = {};
    for (int tries = 0; tries < 100; ++tries) {
        POINT screen = {0, 0};
        ClientToScreen(device, &screen);
        RECT shown;
        GetWindowRect(today, &shown);
        offset = {shown.left - screen.x, shown.top - screen.y};
        if (!offset.cx && !offset.cy)
            break;
        Sleep(50);
    }
    return offset;
}

// Starts command on a thread of its own, a run in the device window, and
// waits until the device window and the Today screen in it are shown.
HANDLE StartWindowRun(const std::wstring& command, HWND* device, HWND* today)
{
    HANDLE run = CreateThread(
        nullptr, 0, [](void* text) -> DWORD { return RunProgram(*static_cast<const std::wstring*>(text)); },
        const_cast<std::wstring*>(&command), 0, nullptr);
    *device = *today = nullptr;
    for (int tries = 0; tries < 600 && !(*device && *today && IsWindowVisible(*today)); ++tries) {
        Sleep(100);
        *device = FindWindowW(L"TolvaneDeviceWindow", L"Tolvane device");
        *today = FindWindowW(kShellClassName, nullptr);
    }
    return run;
}

TEST(DeviceWindow, CarriesTheDeviceMovesItAndClosingItEndsIt)
{
    Install();
    const std::wstring command = Today();
    HWND device, today;
    HANDLE run = StartWindowRun(command, &device, &today);
    EXPECT_TRUE(device && today) << "the device window did not come up";
    if (device && today) {
        POINT screen = {0, 0};
        ClientToScreen(device, &screen);
        EXPECT_GT(screen.x, 0) << "away from the desktop's corner";
        for (int move = 0; move < 3; ++move) {
            if (move) {
                RECT frame;
                GetWindowRect(device, &frame);
                SetWindowPos(device, nullptr, frame.left + 37, frame.top - 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            }
            const SIZE offset = TodayOffset(device, today);
            EXPECT_EQ(offset.cx, 0) << "after move " << move;
            EXPECT_EQ(offset.cy, 0) << "after move " << move;
        }
        // Minimised and restored from its caption, it shows its screen again.
        for (WPARAM command : {SC_MINIMIZE, SC_RESTORE})
            SendMessageW(device, WM_SYSCOMMAND, command, 0);
        for (int tries = 0; tries < 100 && !IsWindowVisible(today); ++tries)
            Sleep(50);
        EXPECT_TRUE(IsWindowVisible(today)) << "the Today screen did not come back with the device window";
        PostMessageW(device, WM_SYSCOMMAND, SC_CLOSE, 0);  // as a window manager closes it
        EXPECT_EQ(WaitForSingleObject(run, 10000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeThread(run, &code);
        EXPECT_EQ(code, 0u);
        EXPECT_FALSE(IsWindow(today));
    }
    EndDevicesLeftBehind();
    WaitForSingleObject(run, kRunLimit);
    CloseHandle(run);
    Install(false);
}

// While an item's options are open from the settings (a program of its own),
// the device window still takes its caption: its close ends the device.
TEST(DeviceWindow, TakesItsCaptionWhileTheSettingsShowAnItemsOptions)
{
    Install();
    const std::wstring command = Today();
    HWND device, today, page = nullptr, options = nullptr;
    HANDLE run = StartWindowRun(command, &device, &today);
    ASSERT_TRUE(device && today) << "the device window did not come up";
    PostMessageW(today, WM_TODAY_OPENSETTINGS, 0, 0);
    for (int tries = 0; tries < 100 && !page; ++tries, Sleep(50))
        page = FindWindowW(L"#32770", L"Settings");
    DWORD shellProcess = 0;
    GetWindowThreadProcessId(today, &shellProcess);
    PostMessageW(FindWindowExW(page, nullptr, L"BUTTON", L"Options..."), BM_CLICK, 0, 0);
    // The options: a shown dialog of another program than the Today screen's.
    for (int tries = 0; tries < 200 && !options; ++tries, Sleep(50)) {
        for (HWND dialog = nullptr; !options && (dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr));) {
            DWORD process = 0;
            GetWindowThreadProcessId(dialog, &process);
            if (process != shellProcess && IsWindowVisible(dialog))
                options = dialog;
        }
    }
    EXPECT_TRUE(options) << "the options did not open in a program of their own";
    EXPECT_TRUE(IsWindowEnabled(device)) << "the options disabled the device window";
    PostMessageW(device, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForSingleObject(run, 10000), WAIT_OBJECT_0);
    EndDevicesLeftBehind();
    WaitForSingleObject(run, kRunLimit);
    CloseHandle(run);
    Install(false);
}

TEST(Script, ReadsEachCommandAndNamesTheLineOfAFault)
{
    const struct {
        const char* text;
        const wchar_t* error;  // a part of the message, or empty for a good script
        size_t steps;          // of a good script
    } cases[] = {
        {"# a comment\r\n\r\ntap 135 58\r\nwait 500 # settle\r\nscreenshot a.png\r\nkey up\r\nreset\r\nquit\r\n", L"",
         6},
        // As some Windows editors save it: a byte-order mark first.
        {"\xEF\xBB\xBF# a comment\n\ntap 135 58\nwait 500\nscreenshot a.png\nkey up\nreset\nquit\n", L"", 6},
        {"", L"", 0},
        {"\xEF\xBB\xBF", L"", 0},
        {" \t\r\n\r\n# only a comment", L"", 0},
        {"tap 0 0\ntap 239 319\nwait 0\n\ttap\t1\t2\t\nquit", L"", 5},  // the last line without its end
        {"tap 239 320\n", L":1: tap 239 320 is off the screen", 0},
        {"tap 2147483648 0\n", L":1: tap takes two screen coordinates", 0},
        {"tap 1.5 2\n", L":1: tap takes two screen coordinates", 0},
        {"wait -1\n", L":1: wait takes milliseconds from 0 to 60000", 0},
        {"key\n", L":1: key takes up, down, left, right or action", 0},
        {"wait 1\n\xEF\xBB\xBFquit\n", L":2: unknown command \"\\uFEFFquit\"", 0},  // a mark only at the start
        {"tap 135\n", L":1: tap takes two screen coordinates", 0},
        {"wait 10\ntapp 1 2\n", L":2: unknown command \"tapp\"", 0},
        {"wait soon\n", L":1: wait takes milliseconds", 0},
        {"screenshot\n", L":1: screenshot takes a file name", 0},
        {"quit now\n", L":1: unexpected \"now\" after quit", 0},
        {"tap -1 5\n", L":1: tap -1 5 is off the screen", 0},
        {"tap 5 99999\n", L":1: tap 5 99999 is off the screen (x 0 to 239, y 0 to 319)", 0},
        {"tap 240 13\n", L":1: tap 240 13 is off the screen", 0},
        {"key middle\n", L":1: key takes up, down, left, right or action", 0},
        {"wait 60000\nwait 60001\n", L":2: wait takes milliseconds from 0 to 60000", 0},
        {"wait 2147483647\n", L":1: wait takes milliseconds from 0 to 60000", 0},
        {"wait 99999999999999999999\n", L":1: wait takes milliseconds", 0},
        // A long or foreign word is quoted in part, escaped, so that all of the message shows.
        {"wait 1\n\xC3\xA9t\xC3\xA9\\\n", L":2: unknown command \"\\u00E9t\\u00E9\\\\\" (tap", 0},
        {"quit 0123456789012345678901234567890123456789\n",
         L"unexpected \"01234567890123456789012345678901...\" after quit", 0},
    };
    const std::wstring path = kWork + L"parse.txt";
    for (const auto& c : cases) {
        std::ofstream(path.c_str(), std::ios::binary) << c.text;
        std::vector<ScriptStep> steps;
        std::wstring error;
        EXPECT_EQ(ReadScript(path.c_str(), &steps, &error), !*c.error) << c.text;
        if (*c.error) {
            EXPECT_NE(error.find(c.error), std::wstring::npos) << c.text;
            continue;
        }
        EXPECT_EQ(error, L"") << "a good script is read without a word: " << c.text;
        ASSERT_EQ(steps.size(), c.steps) << c.text;
        if (c.steps == 6) {
            EXPECT_EQ(steps[1].place, path + L":4") << "where a message during the run names it";
        }
    }
    std::vector<ScriptStep> steps;
    std::wstring error;
    EXPECT_FALSE(ReadScript(L"C:\\no\\such\\script.txt", &steps, &error));
    EXPECT_NE(error.find(L"cannot open the script"), std::wstring::npos);
}

TEST(Screenshot, IntoAFolderThatIsNotThereSaysSo)
{
    const std::wstring path = kWork + L"no-such-folder\\first.png";
    ASSERT_FALSE(SavePicture(std::vector<DWORD>(kDeviceScreenWidth * kDeviceScreenHeight), path.c_str()));
    EXPECT_EQ(WhyNotWritten(path), L"there is no folder " + kWork + L"no-such-folder");
}

}  // namespace
