#include <gtest/gtest.h>

#include <string.h>

#include <fstream>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include "stb_image.h"

#include "cards/deck.h"
#include "device/today_items.h"
#include "tests/support/canvas.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/hands.h"
#include "today/script.h"
#include "today/shell_paint.h"
#include "today/shell_window.h"
#include "today/today_items.h"

// End-to-end runs of the emulated device, driven by scripts and checked
// from their screenshots: on its own 240x320 virtual desktop, and in the
// device window that today.exe opens on the test display's desktop.
namespace {

const wchar_t kClock[] = L"2026-12-13T14:25:36";
const std::string kRow = " " + std::to_string(kFirstItemTop + 10) + "\n";  // a tap's y on the row

std::wstring Folder(bool work)
{
    wchar_t path[MAX_PATH];
    if (work) {
        GetTempPathW(MAX_PATH, path);
        lstrcatW(path, L"tolvane-today-test");
        CreateDirectoryW(path, nullptr);
    } else {
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        *wcsrchr(path, L'\\') = 0;
    }
    return std::wstring(path) + L"\\";
}
const std::wstring kBin = Folder(false), kWork = Folder(true);

bool onVirtualDesktop = true;

// Runs a program to its end, on a 240x320 virtual desktop when asked; its
// standard error goes to the file errors when given.
DWORD RunProgram(std::wstring command, bool virtualDesktop = false, const std::wstring& errors = L"")
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", L"TolvaneTest", REG_SZ, L"240x320",
                    sizeof(L"240x320"));
    // Named either way: after a program on the virtual desktop, Wine would
    // start the next one there too.
    startup.lpDesktop = const_cast<wchar_t*>(virtualDesktop ? L"TolvaneTest" : L"Default");
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE errorFile = errors.empty() ? INVALID_HANDLE_VALUE
                                      : CreateFileW(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                                    CREATE_ALWAYS, 0, nullptr);
    if (errorFile != INVALID_HANDLE_VALUE) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = errorFile;
    }
    PROCESS_INFORMATION process = {};
    DWORD code = 0x80000000;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, errorFile != INVALID_HANDLE_VALUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 180000);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    if (errorFile != INVALID_HANDLE_VALUE)
        CloseHandle(errorFile);
    return code;
}

std::wstring Today(const std::wstring& arguments = L"")
{
    return L"\"" + kBin + L"today.exe\" --clock " + kClock + arguments;
}

void Install(bool install = true)
{
    RunProgram(L"\"" + kBin + L"install.exe\" uninstall");
    if (install) {
        ASSERT_EQ(RunProgram(L"\"" + kBin + L"install.exe\" install \"" + kBin + L"Tolvane.dll\""), 0u);
    }
}

// Writes the script and runs the device with it.
DWORD RunScript(const std::string& script, const std::wstring& name, const std::wstring& errors = L"")
{
    const std::wstring path = kWork + name + L".txt";
    std::ofstream(path.c_str()) << script;
    return RunProgram(Today(L" --script \"" + path + L"\""), onVirtualDesktop, errors);
}

// A script's screenshot command, and the picture it writes.
std::string Shot(const wchar_t* name)
{
    char path[MAX_PATH];
    WideCharToMultiByte(CP_UTF8, 0, (kWork + name + L".png").c_str(), -1, path, MAX_PATH, nullptr, nullptr);
    DeleteFileA(path);
    return std::string("screenshot ") + path + "\n";
}

struct Screenshot {
    explicit Screenshot(const std::wstring& nameOrPath)
    {
        const std::wstring path = nameOrPath.find(L'\\') == std::wstring::npos ? kWork + nameOrPath + L".png"
                                                                               : nameOrPath;
        FILE* file = _wfopen(path.c_str(), L"rb");
        unsigned char* data = file ? stbi_load_from_file(file, &width, &height, nullptr, 3) : nullptr;
        if (file)
            fclose(file);
        if (data)
            pixels.assign(data, data + width * height * 3);
        stbi_image_free(data);
    }
    COLORREF At(int x, int y) const
    {
        const unsigned char* p = &pixels[(y * width + x) * 3];
        return RGB(p[0], p[1], p[2]);
    }
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
};

// A screenshot against its committed golden image, pixel for pixel;
// TOLVANE_UPDATE_GOLDEN=1 writes this run's over them.
::testing::AssertionResult MatchesGolden(const wchar_t* name, const char* golden)
{
    std::wstring goldenPath = L"Z:" TOLVANE_SOURCE_DIR L"/" + std::wstring(golden, golden + strlen(golden));
    for (wchar_t& c : goldenPath)
        c = c == L'/' ? L'\\' : c;
    if (GetEnvironmentVariableW(L"TOLVANE_UPDATE_GOLDEN", nullptr, 0) > 0)
        CopyFileW((kWork + name + L".png").c_str(), goldenPath.c_str(), FALSE);
    const Screenshot shot(name), expected(goldenPath);
    if (expected.pixels.empty() || shot.width != expected.width || shot.height != expected.height)
        return ::testing::AssertionFailure() << golden << ": no golden image, or not the screenshot's size";
    int differing = 0;
    for (size_t i = 0; i < shot.pixels.size(); i += 3)
        differing += memcmp(&shot.pixels[i], &expected.pixels[i], 3) != 0;
    if (differing)
        return ::testing::AssertionFailure() << golden << ": " << differing << " pixels differ";
    return ::testing::AssertionSuccess();
}

// Whether the row shows the icon at x: its pixels over the watermark.
::testing::AssertionResult IconAt(const Screenshot& shot, int iconId, int x)
{
    static HMODULE item = LoadLibraryExW((kBin + L"Tolvane.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (shot.pixels.empty())
        return ::testing::AssertionFailure() << "no screenshot";
    const int top = kFirstItemTop + 2;
    Canvas expected(16, 16);
    PaintWatermark(expected.dc, {0, 0, 16, 16}, {x, top});
    HICON icon = static_cast<HICON>(LoadImageW(item, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16, 0));
    DrawIconEx(expected.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    for (int dy = 0; dy < 16; ++dy)
        for (int dx = 0; dx < 16; ++dx)
            if (shot.At(x + dx, top + dy) != expected.At(dx, dy))
                return ::testing::AssertionFailure() << "icon " << iconId << " not at " << x;
    return ::testing::AssertionSuccess();
}

// The first hand the device deals at the fixed clock, as the item sorts it.
std::vector<int> FirstDeal(CardDeck& deck)
{
    FixedClock clock(2026, 12, 13, 14, 25, 36);
    deck.Shuffle();
    CardHand hand = HandOf({});
    for (int i = 0; i < 5; ++i)
        hand.AddCard(deck.DealCard());
    hand.Sort(1, 0);
    return Held(hand);
}

DWORD ItemValue(const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value);
    RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Today\\Items\\Tolvane", name, RRF_RT_ANY, nullptr,
                 &value, &size);
    return value;
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
    ASSERT_EQ(RunScript("wait 300\n" + Shot(L"dealt") + "tap 55" + kRow + "tap 95" + kRow + Shot(L"marked") +
                            "tap 138" + kRow + Shot(L"drawn") + "quit\n",
                        L"play"),
              0u);
    CardDeck deck;
    const std::vector<int> first = FirstDeal(deck);
    const Screenshot dealt(L"dealt"), drawn(L"drawn");
    const int drawnFaces[] = {first[0], first[2], first[4], deck.cards[5], deck.cards[6]};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(IconAt(dealt, first[i] + 100, 30 + 20 * i)) << i;
        EXPECT_TRUE(IconAt(drawn, drawnFaces[i] + 100, 30 + 20 * i)) << i;
    }
    EXPECT_TRUE(IconAt(dealt, 210, 132));
    EXPECT_TRUE(IconAt(drawn, 208, 132));
    EXPECT_TRUE(MatchesGolden(L"dealt", "tests/today/golden/dealt.png"));
    EXPECT_TRUE(MatchesGolden(L"marked", "docs/today.png"));
    EXPECT_TRUE(MatchesGolden(L"drawn", "tests/today/golden/drawn.png"));
}

TEST_P(Device, OptionsFromTheIconThenUnlinkFromTheSettings)
{
    // Template 500 full screen below the title bar; its title bar's ok; the
    // settings page's first Options button; the card back list opened, then
    // nine presses from Blue to Red Stripe.
    const std::string titleOk = "tap 224 13\n";
    std::string script = "wait 300\ntap 10" + kRow + "wait 500\n" + Shot(L"options") + "tap 80 79\n";
    for (int i = 0; i < 9; ++i)
        script += "key down\n";
    script += "key action\ntap 21 101\n" + titleOk;
    for (int x : {35, 55, 75, 95, 115})
        script += "tap " + std::to_string(x) + kRow;
    script += Shot(L"five-marked") + "tap 138" + kRow + "settings\ntap 195 66\nwait 1000\ntap 100 224\nwait 500\n" +
              Shot(L"scoring") + titleOk + "tap 95 204\nwait 500\n" + Shot(L"question") + "key action\nwait 3000\n" +
              Shot(L"unlinked") + "quit\n";
    ASSERT_EQ(RunScript(script, L"unlink"), 0u);
    EXPECT_EQ(ItemValue(L"DISCARD"), 1u);
    EXPECT_EQ(ItemValue(L"CARDBACK"), 162u);
    EXPECT_EQ(ItemValue(L"DLL"), 0u) << "unlinked";
    const Screenshot marked(L"five-marked");
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(IconAt(marked, 162, 30 + 20 * i)) << "the red striped back at " << i;
    EXPECT_TRUE(MatchesGolden(L"options", "tests/today/golden/options.png"));
    EXPECT_TRUE(MatchesGolden(L"scoring", "tests/today/golden/paytable.png"));
    EXPECT_TRUE(MatchesGolden(L"question", "tests/today/golden/question.png"));
    EXPECT_FALSE(IconAt(Screenshot(L"unlinked"), 209, 3)) << "after the reset the row is gone";
    Install();
    ASSERT_EQ(RunScript("wait 300\n" + Shot(L"reinstalled") + "quit\n", L"reinstalled"), 0u);
    EXPECT_TRUE(IconAt(Screenshot(L"reinstalled"), 209, 3));
}

TEST(Device, ASoftResetRestartsTheTodayScreenAndReadsTheSettingsAgain)
{
    onVirtualDesktop = true;
    Install();
    const std::string script = "wait 300\ntap 35" + kRow + "tap 138" + kRow + Shot(L"before-reset") +
                               "wait 2000\nreset\ntap 35" + kRow + Shot(L"after-reset") + "quit\n";
    HANDLE run = CreateThread(
        nullptr, 0, [](void* text) -> DWORD { return RunScript(*static_cast<std::string*>(text), L"reset"); },
        const_cast<std::string*>(&script), 0, nullptr);
    const std::wstring before = kWork + L"before-reset.png";
    for (int tries = 0; tries < 600 && GetFileAttributesW(before.c_str()) == INVALID_FILE_ATTRIBUTES; ++tries)
        Sleep(100);
    Sleep(200);
    const DWORD stripe = 162;  // stored once the first screen is taken
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Today\\Items\\Tolvane", L"CARDBACK", REG_DWORD,
                    &stripe, sizeof(stripe));
    DWORD code = 1;
    WaitForSingleObject(run, 180000);
    GetExitCodeThread(run, &code);
    CloseHandle(run);
    ASSERT_EQ(code, 0u);
    CardDeck deck;
    const std::vector<int> first = FirstDeal(deck);  // the library loads again: the first shuffle again
    const Screenshot after(L"after-reset");
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(IconAt(after, i == 0 ? 162 : first[i] + 100, 30 + 20 * i)) << i;
    Install(false);
}

TEST(Device, LeavesBrokenItemsOutAndSaysWhy)
{
    Install();
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    CopyFileW((kBin + L"coredll.dll").c_str(), (std::wstring(windows) + L"\\noexport.dll").c_str(), FALSE);
    const wchar_t* const broken[][2] = {{L"Missing", L"\\Windows\\missing.dll"},
                                        {L"NoExport", L"\\Windows\\noexport.dll"}};
    const DWORD custom = 4, on = 1;
    for (const auto& b : broken) {
        const std::wstring key = std::wstring(kTodayItemsKey) + L"\\" + b[0];
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"DLL", REG_SZ, b[1], (lstrlenW(b[1]) + 1) * 2);
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Type", REG_DWORD, &custom, sizeof(custom));
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Enabled", REG_DWORD, &on, sizeof(on));
    }
    const std::wstring errors = kWork + L"errors.txt";
    onVirtualDesktop = true;
    EXPECT_EQ(RunScript("wait 300\n" + Shot(L"broken") + "quit\n", L"broken", errors), 0u);
    for (const auto& b : broken)
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kTodayItemsKey) + L"\\" + b[0]).c_str());
    Install(false);
    std::ifstream read(errors.c_str());
    const std::string said((std::istreambuf_iterator<char>(read)), std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("item \"Missing\" left out: cannot load \\Windows\\missing.dll"), std::string::npos) << said;
    EXPECT_NE(said.find("item \"NoExport\" left out: \\Windows\\noexport.dll has no export 240"), std::string::npos);
    EXPECT_TRUE(IconAt(Screenshot(L"broken"), 209, 3)) << "Tolvane's row is still there";
}

TEST(TodayItems, StandInTheirOrderTiesInRegistryOrder)
{
    Install();  // "Tolvane", order 0
    const struct {
        const wchar_t* name;
        DWORD order, enabled;
    } added[] = {{L"Zeta", 2, 1}, {L"Beta", 1, 1}, {L"Off", 1, 0}, {L"Alpha", 1, 1}, {L"Gamma", 0, 1}};
    const wchar_t dll[] = L"\\Windows\\Tolvane.dll";
    for (const auto& item : added) {
        const std::wstring key = std::wstring(kTodayItemsKey) + L"\\" + item.name;
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"DLL", REG_SZ, dll, sizeof(dll));
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Type", REG_DWORD, &kCustomItemType, sizeof(DWORD));
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Enabled", REG_DWORD, &item.enabled, sizeof(DWORD));
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Order", REG_DWORD, &item.order, sizeof(DWORD));
    }
    HWND shell = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::wstring> names;
    for (const TodayItem& item : LoadTodayItems(shell)) {
        names.push_back(item.record.szName);
        DestroyWindow(item.record.hwndCustom);
        FreeLibrary(item.library);  // so that the installer can remove it
    }
    DestroyWindow(shell);
    for (const auto& item : added)
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kTodayItemsKey) + L"\\" + item.name).c_str());
    Install(false);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Gamma", L"Tolvane", L"Alpha", L"Beta", L"Zeta"}));
}

TEST(DeviceWindow, CarriesTheDeviceMovesItAndClosingItEndsIt)
{
    Install();
    const std::wstring command = Today();
    HANDLE run = CreateThread(
        nullptr, 0, [](void* text) -> DWORD { return RunProgram(*static_cast<std::wstring*>(text)); },
        const_cast<std::wstring*>(&command), 0, nullptr);
    HWND device = nullptr, today = nullptr;
    for (int tries = 0; tries < 300 && !(device && today && IsWindowVisible(today)); ++tries) {
        Sleep(100);
        device = FindWindowW(L"TolvaneDeviceWindow", L"Tolvane device");
        today = FindWindowW(kShellClassName, nullptr);
    }
    ASSERT_TRUE(device && today);
    for (int move = 0; move < 2; ++move) {
        POINT screen = {0, 0};
        ClientToScreen(device, &screen);
        RECT shown;
        GetWindowRect(today, &shown);
        EXPECT_EQ(shown.left, screen.x) << "in the device window's client area";
        EXPECT_EQ(shown.top, screen.y);
        EXPECT_GT(screen.x, 0) << "away from the desktop's corner";
        RECT frame;
        GetWindowRect(device, &frame);
        SetWindowPos(device, nullptr, frame.left + 37, frame.top - 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Sleep(300);
    }
    PostMessageW(device, WM_SYSCOMMAND, SC_CLOSE, 0);  // as a window manager closes it
    EXPECT_EQ(WaitForSingleObject(run, 5000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(run, &code);
    CloseHandle(run);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(IsWindow(today));
    Install(false);
}

TEST(Script, ReadsEachCommandAndNamesTheLineOfAFault)
{
    const struct {
        const char* text;
        const wchar_t* error;  // a part of the message, or empty for a good script
    } cases[] = {
        {"# a comment\r\n\r\ntap 135 58\r\nwait 500 # settle\r\nscreenshot shots/one.png\r\nreset\r\nquit\r\n", L""},
        {"tap 135\n", L":1: tap takes two screen coordinates"},
        {"wait 10\ntapp 1 2\n", L":2: unknown command \"tapp\""},
        {"wait soon\n", L":1: wait takes milliseconds"},
        {"screenshot\n", L":1: screenshot takes a file name"},
        {"quit now\n", L":1: unexpected \"now\" after quit"},
        {"tap -1 5\n", L":1: tap takes two screen coordinates"},
        {"key middle\n", L":1: key takes up, down, left, right or action"},
    };
    const std::wstring path = kWork + L"parse.txt";
    for (const auto& c : cases) {
        std::ofstream(path.c_str(), std::ios::binary) << c.text;
        std::vector<ScriptStep> steps;
        std::wstring error;
        EXPECT_EQ(ReadScript(path.c_str(), &steps, &error), !*c.error) << c.text;
        EXPECT_NE(error.find(c.error), std::wstring::npos) << c.text;
    }
    std::vector<ScriptStep> steps;
    std::wstring error;
    std::ofstream(path.c_str(), std::ios::binary) << cases[0].text;
    ASSERT_TRUE(ReadScript(path.c_str(), &steps, &error));
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].kind, ScriptStep::kTap);
    EXPECT_EQ(steps[0].x * 1000 + steps[0].y, 135058);
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[1].milliseconds, 500);
    EXPECT_EQ(steps[2].path, L"shots/one.png");
    EXPECT_EQ(steps[3].kind, ScriptStep::kReset);
    EXPECT_EQ(steps[4].kind, ScriptStep::kQuit);
    EXPECT_FALSE(ReadScript(L"C:\\no\\such\\script.txt", &steps, &error));
    EXPECT_NE(error.find(L"cannot open the script"), std::wstring::npos);
}

}  // namespace
