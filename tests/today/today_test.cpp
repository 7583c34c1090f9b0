#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <fstream>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include "stb_image.h"

#include "cards/deck.h"
#include "cards/evaluate.h"
#include "device/today_items.h"
#include "tests/support/fixed_clock.h"
#include "item/item_font.h"
#include "tests/support/canvas.h"
#include "today/script.h"
#include "today/shell_paint.h"
#include "today/shell_window.h"
#include "today/today_items.h"

// End-to-end runs of the emulated device: today.exe on a 240x320 Wine
// desktop with Tolvane installed, driven by scripts, checked from their
// screenshots.
namespace {

const wchar_t kClock[] = L"2026-12-13T14:25:36";
const int kRowTop = kFirstItemTop;
const int kTapY = kRowTop + 10;

std::wstring BinFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    *wcsrchr(path, L'\\') = 0;
    return path;
}

std::wstring WorkFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"tolvane-today-test\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

const wchar_t kDesktop[] = L"TolvaneTest";

// Runs a program to its end, on the device's own 240x320 desktop when asked;
// its standard error goes to errors when given.
DWORD RunProgram(std::wstring command, bool onDevice = false, const std::wstring& errors = L"")
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (onDevice) {
        // Wine makes a desktop of this size for a program started on it.
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", kDesktop, REG_SZ, L"240x320",
                        sizeof(L"240x320"));
        startup.lpDesktop = const_cast<wchar_t*>(kDesktop);
    }
    HANDLE errorFile = INVALID_HANDLE_VALUE;
    if (!errors.empty()) {
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        errorFile = CreateFileW(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = errorFile;
    }
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, !errors.empty(), 0, nullptr, nullptr, &startup,
                        &process))
        return GetLastError() | 0x80000000;
    WaitForSingleObject(process.hProcess, 180000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (errorFile != INVALID_HANDLE_VALUE)
        CloseHandle(errorFile);
    return code;
}

std::wstring TodayCommand(const std::wstring& script)
{
    return L"\"" + BinFolder() + L"\\today.exe\" --clock " + kClock + L" --script \"" + script + L"\"";
}

void Install()
{
    const std::wstring bin = BinFolder();
    ASSERT_EQ(RunProgram(L"\"" + bin + L"\\install.exe\" uninstall"), 0u);
    ASSERT_EQ(RunProgram(L"\"" + bin + L"\\install.exe\" install \"" + bin + L"\\Tolvane.dll\""), 0u);
}

// Where the device runs: on its own 240x320 virtual desktop, or on the
// test display's desktop, where today.exe opens its device window.
bool onVirtualDesktop = true;

// Writes the script and runs the device with it.
DWORD RunScript(const std::string& script, const std::wstring& name)
{
    const std::wstring path = WorkFolder() + name + L".txt";
    std::ofstream(path.c_str()) << script;
    return RunProgram(TodayCommand(path), onVirtualDesktop);
}

std::string Shot(const std::wstring& name)
{
    const std::wstring path = WorkFolder() + name + L".png";
    DeleteFileW(path.c_str());
    char narrow[MAX_PATH];
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
    return narrow;
}

struct Screenshot {
    // A screenshot of the work folder by name, or any PNG by its path.
    explicit Screenshot(const std::wstring& nameOrPath)
    {
        const std::wstring path =
            nameOrPath.find(L'\\') == std::wstring::npos ? WorkFolder() + nameOrPath + L".png" : nameOrPath;
        FILE* file = _wfopen(path.c_str(), L"rb");
        if (!file)
            return;
        unsigned char* data = stbi_load_from_file(file, &width, &height, nullptr, 3);
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

// The source tree's file at a path relative to its root, as Wine sees it.
std::wstring SourceFile(const char* relative)
{
    std::wstring path = L"Z:" + std::wstring(TOLVANE_SOURCE_DIR, TOLVANE_SOURCE_DIR + strlen(TOLVANE_SOURCE_DIR)) +
                        L"/" + std::wstring(relative, relative + strlen(relative));
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

// A screenshot against its golden image, pixel for pixel. The golden images
// are committed; TOLVANE_UPDATE_GOLDEN=1 writes this run's over them.
::testing::AssertionResult MatchesGolden(const std::wstring& name, const char* golden)
{
    const std::wstring goldenPath = SourceFile(golden);
    const std::wstring shotPath = WorkFolder() + name + L".png";
    if (GetEnvironmentVariableW(L"TOLVANE_UPDATE_GOLDEN", nullptr, 0) > 0 &&
        !CopyFileW(shotPath.c_str(), goldenPath.c_str(), FALSE))
        return ::testing::AssertionFailure() << "cannot update " << golden;
    const Screenshot shot(shotPath), expected(goldenPath);
    if (expected.pixels.empty())
        return ::testing::AssertionFailure() << "no golden image " << golden;
    if (shot.width != expected.width || shot.height != expected.height)
        return ::testing::AssertionFailure() << golden << ": the screenshot is " << shot.width << "x" << shot.height;
    int differing = 0;
    for (size_t i = 0; i < shot.pixels.size(); i += 3)
        differing += memcmp(&shot.pixels[i], &expected.pixels[i], 3) != 0;
    if (differing)
        return ::testing::AssertionFailure() << golden << ": " << differing << " pixels differ";
    return ::testing::AssertionSuccess();
}

// A canvas over the Today screen's watermark at a screen position.
struct WatermarkCanvas : Canvas {
    WatermarkCanvas(int width, int height, POINT origin) : Canvas(width, height)
    {
        PaintWatermark(dc, {0, 0, width, height}, origin);
    }
};

HMODULE Item()
{
    static HMODULE item = LoadLibraryExW((BinFolder() + L"\\Tolvane.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return item;
}

::testing::AssertionResult IconAt(const Screenshot& shot, int iconId, int x)
{
    if (shot.pixels.empty())
        return ::testing::AssertionFailure() << "no screenshot";
    WatermarkCanvas expected(16, 16, {x, kRowTop + 2});
    HICON icon = static_cast<HICON>(LoadImageW(Item(), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16, 0));
    DrawIconEx(expected.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    for (int dy = 0; dy < 16; ++dy)
        for (int dx = 0; dx < 16; ++dx)
            if (shot.At(x + dx, kRowTop + 2 + dy) != expected.At(dx, dy))
                return ::testing::AssertionFailure() << "icon " << iconId << " not at " << x << " (" << x + dx << ","
                                                     << kRowTop + 2 + dy << ")";
    return ::testing::AssertionSuccess();
}

// The status text and the wallet, as the row lays them out in the theme's
// colour over the watermark.
::testing::AssertionResult TextsAt(const Screenshot& shot, const wchar_t* status, int wallet)
{
    WatermarkCanvas expected(kScreenWidth, 20, {0, kRowTop});
    wchar_t money[40];
    swprintf(money, 40, L"$%d", wallet);
    SetTextColor(expected.dc, kThemeTextColor);
    SetBkMode(expected.dc, TRANSPARENT);
    for (int weight : {FW_NORMAL, FW_BOLD}) {
        const wchar_t* text = weight == FW_NORMAL ? status : money;
        SIZE size;
        GetTextExtentPoint32W(expected.dc, text, lstrlenW(text), &size);  // the context's own font
        HFONT created = CreateItemFont(weight);
        HGDIOBJ kept = SelectObject(expected.dc, created);
        RECT rect = weight == FW_NORMAL ? RECT{152, 0, 152 + size.cx, size.cy + 5}
                                        : RECT{kScreenWidth - 2 - size.cx, 0, kScreenWidth - 2, size.cy + 5};
        DrawTextW(expected.dc, text, -1, &rect, DT_SINGLELINE | DT_VCENTER);
        SelectObject(expected.dc, kept);
        DeleteObject(created);
    }
    for (int y = 0; y < 20; ++y)
        for (int x = 148; x < kScreenWidth; ++x)
            if (shot.At(x, kRowTop + y) != expected.At(x, y))
                return ::testing::AssertionFailure() << "the row's text differs at " << x << "," << kRowTop + y;
    return ::testing::AssertionSuccess();
}

std::vector<int> Deal(CardDeck& deck)
{
    CardHand hand;
    hand.capacity = 5;
    deck.Shuffle();
    for (int i = 0; i < 5; ++i)
        hand.AddCard(deck.DealCard());
    hand.Sort(1, 0);
    return std::vector<int>(hand.cards, hand.cards + 5);
}

void ExpectFaces(const Screenshot& shot, const std::vector<int>& cards, std::vector<int> backs = {}, int back = 153)
{
    for (int i = 0; i < 5; ++i) {
        bool marked = false;
        for (int b : backs)
            marked = marked || b == i;
        EXPECT_TRUE(IconAt(shot, marked ? back : cards[i] + 100, 30 + 20 * i)) << "position " << i;
    }
}

// A DWORD (or any value, as nonzero) of the item's key; 0 when missing.
DWORD ReadItemValue(const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value);
    BYTE any[MAX_PATH * 2];
    DWORD anySize = sizeof(any);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Today\\Items\\Tolvane", name, RRF_RT_DWORD, nullptr,
                     &value, &size) == ERROR_SUCCESS)
        return value;
    return RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Today\\Items\\Tolvane", name, RRF_RT_ANY, nullptr,
                        any, &anySize) == ERROR_SUCCESS;
}

// Every end-to-end run on both screens of the device: the same script gives
// the same pictures.
class Device : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        onVirtualDesktop = GetParam();
        Install();
    }
    void TearDown() override { RunProgram(L"\"" + BinFolder() + L"\\install.exe\" uninstall"); }
};
INSTANTIATE_TEST_SUITE_P(Screens, Device, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& screen) {
                             return screen.param ? "VirtualDesktop" : "DeviceWindow";
                         });

TEST_P(Device, PlaysAHandFromAFreshInstall)
{
    const std::string script = "wait 300\nscreenshot " + Shot(L"dealt") + "\ntap 55 " + std::to_string(kTapY) +
                               "\ntap 95 " + std::to_string(kTapY) + "\nscreenshot " + Shot(L"marked") +
                               "\ntap 138 " + std::to_string(kTapY) + "\nscreenshot " + Shot(L"drawn") +
                               "\ntap 138 " + std::to_string(kTapY) + "\nscreenshot " + Shot(L"again") + "\nquit\n";
    ASSERT_EQ(RunScript(script, L"play"), 0u);

    // What the device deals at this clock: the first two shuffles after load.
    FixedClock clock(2026, 12, 13, 14, 25, 36);
    CardDeck deck;
    const std::vector<int> first = Deal(deck);
    CardHand drawn;
    drawn.capacity = 5;
    for (int kept : {0, 2, 4})
        drawn.AddCard(first[kept]);
    drawn.AddCard(deck.cards[5]);
    drawn.AddCard(deck.cards[6]);
    wchar_t name[40];
    const int wallet = 99 + ScoreHand(drawn, name);
    const std::vector<int> second = Deal(deck);

    Screenshot dealt(L"dealt"), marked(L"marked"), drawnShot(L"drawn"), again(L"again");
    EXPECT_TRUE(MatchesGolden(L"dealt", "tests/today/golden/dealt.png"));
    EXPECT_TRUE(MatchesGolden(L"marked", "docs/today.png"));
    EXPECT_TRUE(MatchesGolden(L"drawn", "tests/today/golden/drawn.png"));
    ASSERT_EQ(dealt.width, 240);
    ASSERT_EQ(dealt.height, 320);
    EXPECT_TRUE(IconAt(dealt, 209, 3));
    ExpectFaces(dealt, first);
    EXPECT_TRUE(IconAt(dealt, 210, 132));
    EXPECT_TRUE(TextsAt(dealt, L"Discard", 99));

    ExpectFaces(marked, first, {1, 3});
    EXPECT_TRUE(TextsAt(marked, L"Discard", 99));

    ExpectFaces(drawnShot, std::vector<int>(drawn.cards, drawn.cards + 5));
    EXPECT_TRUE(IconAt(drawnShot, 208, 132));
    EXPECT_TRUE(TextsAt(drawnShot, name, wallet));

    ExpectFaces(again, second);
    EXPECT_TRUE(IconAt(again, 210, 132));
    EXPECT_TRUE(TextsAt(again, L"Discard", wallet - 1));

    // The same clock and script give the same screens.
    const std::string repeat = "wait 300\nscreenshot " + Shot(L"dealt2") + "\ntap 55 " + std::to_string(kTapY) +
                               "\ntap 95 " + std::to_string(kTapY) + "\ntap 138 " + std::to_string(kTapY) +
                               "\nscreenshot " + Shot(L"drawn2") + "\nquit\n";
    ASSERT_EQ(RunScript(repeat, L"repeat"), 0u);
    EXPECT_EQ(Screenshot(L"dealt2").pixels, dealt.pixels);
    EXPECT_EQ(Screenshot(L"drawn2").pixels, drawnShot.pixels);
}

TEST_P(Device, ASoftResetRestartsTheTodayScreen)
{
    const std::string tap = "tap 35 " + std::to_string(kTapY) + "\n";
    const std::string script = "wait 300\n" + tap + "tap 138 " + std::to_string(kTapY) + "\nscreenshot " +
                               Shot(L"before-reset") + "\nwait 2000\nreset\n" + tap + "screenshot " +
                               Shot(L"after-reset") + "\nquit\n";
    HANDLE run = CreateThread(
        nullptr, 0,
        [](void* text) -> DWORD { return RunScript(*static_cast<std::string*>(text), L"reset"); },
        const_cast<std::string*>(&script), 0, nullptr);
    // Once the first screen is taken, the stored card back changes.
    const std::wstring before = WorkFolder() + L"before-reset.png";
    for (int tries = 0; tries < 600 && GetFileAttributesW(before.c_str()) == INVALID_FILE_ATTRIBUTES; ++tries)
        Sleep(100);
    Sleep(200);
    const DWORD stripe = 162;
    EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Today\\Items\\Tolvane", L"CARDBACK",
                              REG_DWORD, &stripe, sizeof(stripe)),
              ERROR_SUCCESS);
    WaitForSingleObject(run, 180000);
    DWORD code = 1;
    GetExitCodeThread(run, &code);
    CloseHandle(run);
    ASSERT_EQ(code, 0u);

    FixedClock clock(2026, 12, 13, 14, 25, 36);
    CardDeck deck;
    const std::vector<int> first = Deal(deck);
    Screenshot after(L"after-reset");
    ExpectFaces(after, first, {0}, 162);
    EXPECT_TRUE(TextsAt(after, L"Discard", 99));
}

TEST_P(Device, OptionsFromTheIconThenUnlinkFromTheSettings)
{
    // Where things are on the 240x320 screen: the row from y 46; template
    // 500 full screen below the title bar in Wine's System font; the title
    // bar's ok; the settings page's first Options button.
    const std::string row = " " + std::to_string(kTapY) + "\n";
    const std::string titleOk = "tap 224 13\n";
    std::string script = "wait 300\ntap 10" + row + "wait 500\n";
    for (int i = 0; i < 9; ++i)
        script += "key down\n";  // Blue to Red Stripe
    script += "tap 21 101\nwait 500\nscreenshot " + Shot(L"options") + "\n" + titleOk;
    for (int x : {35, 55, 75, 95, 115})
        script += "tap " + std::to_string(x) + row;
    script += "screenshot " + Shot(L"five-marked") + "\ntap 138" + row;
    script += "settings\ntap 195 66\nwait 1000\ntap 100 224\nwait 500\nscreenshot " + Shot(L"scoring") + "\n" +
              titleOk + "tap 95 204\nwait 500\nscreenshot " + Shot(L"question") +
              "\nkey action\nwait 3000\nscreenshot " + Shot(L"unlinked") + "\nquit\n";
    ASSERT_EQ(RunScript(script, L"unlink"), 0u);

    EXPECT_EQ(ReadItemValue(L"DISCARD"), 1u);
    EXPECT_EQ(ReadItemValue(L"CARDBACK"), 162u);
    EXPECT_TRUE(MatchesGolden(L"options", "tests/today/golden/options.png"));
    EXPECT_TRUE(MatchesGolden(L"scoring", "tests/today/golden/paytable.png"));
    EXPECT_TRUE(MatchesGolden(L"question", "tests/today/golden/question.png"));
    Screenshot marked(L"five-marked");
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(IconAt(marked, 162, 30 + 20 * i)) << "the red striped back at " << i;
    Screenshot scoring(L"scoring");
    ASSERT_FALSE(scoring.pixels.empty());
    EXPECT_EQ(scoring.At(2, kTitleBarHeight + 40), RGB(0, 0, 0)) << "the paytable's box";
    EXPECT_EQ(scoring.At(20, kTitleBarHeight + 42), RGB(255, 255, 255));
    EXPECT_FALSE(ReadItemValue(L"DLL")) << "unlinked";

    // After the reset the Today screen no longer shows the row.
    Screenshot unlinked(L"unlinked");
    ASSERT_FALSE(unlinked.pixels.empty());
    WatermarkCanvas empty(kScreenWidth, 20, {0, kRowTop});
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            ASSERT_EQ(unlinked.At(x, kRowTop + y), empty.At(x, y)) << x << "," << y;

    // The installer brings it back.
    Install();
    ASSERT_EQ(RunScript("wait 300\nscreenshot " + Shot(L"reinstalled") + "\nquit\n", L"reinstalled"), 0u);
    EXPECT_TRUE(IconAt(Screenshot(L"reinstalled"), 209, 3));
}

TEST_P(Device, LeavesBrokenItemsOutAndSaysWhy)
{
    const std::wstring bin = BinFolder();
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    CopyFileW((bin + L"\\coredll.dll").c_str(), (std::wstring(windows) + L"\\noexport.dll").c_str(), FALSE);
    struct Broken {
        const wchar_t* name;
        const wchar_t* dll;
    };
    const Broken broken[] = {{L"Missing", L"\\Windows\\missing.dll"}, {L"NoExport", L"\\Windows\\noexport.dll"}};
    for (const Broken& b : broken) {
        const std::wstring key = std::wstring(kTodayItemsKey) + L"\\" + b.name;
        const DWORD custom = 4, on = 1;
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"DLL", REG_SZ, b.dll,
                        static_cast<DWORD>((lstrlenW(b.dll) + 1) * sizeof(wchar_t)));
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Type", REG_DWORD, &custom, sizeof(custom));
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Enabled", REG_DWORD, &on, sizeof(on));
    }
    const std::wstring errors = WorkFolder() + L"errors.txt";
    const std::wstring script = WorkFolder() + L"broken.txt";
    std::ofstream(script.c_str()) << "wait 300\nscreenshot " << Shot(L"broken") << "\nquit\n";
    EXPECT_EQ(RunProgram(TodayCommand(script), onVirtualDesktop, errors), 0u);
    for (const Broken& b : broken)
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kTodayItemsKey) + L"\\" + b.name).c_str());
    for (const Broken& b : broken)
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, (std::wstring(kTodayItemsKey) + L"\\" + b.name).c_str());

    std::ifstream read(errors.c_str());
    const std::string said((std::istreambuf_iterator<char>(read)), std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("item \"Missing\" left out: cannot load \\Windows\\missing.dll"), std::string::npos) << said;
    EXPECT_NE(said.find("item \"NoExport\" left out: \\Windows\\noexport.dll has no export 240"), std::string::npos)
        << said;
    Screenshot shot(L"broken");
    EXPECT_TRUE(IconAt(shot, 209, 3)) << "Tolvane's row is still there";
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
    for (const TodayItem& item : LoadTodayItems(shell))
        names.push_back(item.record.szName);
    DestroyWindow(shell);
    for (const auto& item : added)
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kTodayItemsKey) + L"\\" + item.name).c_str());
    RunProgram(L"\"" + BinFolder() + L"\\install.exe\" uninstall");
    const std::vector<std::wstring> expected = {L"Gamma", L"Tolvane", L"Alpha", L"Beta", L"Zeta"};
    EXPECT_EQ(names, expected);
}

TEST(DeviceWindow, CarriesTheDeviceAndClosingItEndsIt)
{
    Install();
    const std::wstring command = L"\"" + BinFolder() + L"\\today.exe\" --clock " + kClock;
    HANDLE run = CreateThread(
        nullptr, 0, [](void* text) -> DWORD { return RunProgram(*static_cast<std::wstring*>(text)); },
        const_cast<std::wstring*>(&command), 0, nullptr);
    HWND device = nullptr, today = nullptr;
    for (int tries = 0; tries < 300 && !(device && today && IsWindowVisible(today)); ++tries) {
        Sleep(100);
        device = FindWindowW(L"TolvaneDeviceWindow", L"Tolvane device");
        today = FindWindowW(kShellClassName, nullptr);
    }
    ASSERT_TRUE(device && today) << "the device window and the Today screen in it";
    POINT screen = {0, 0};
    ClientToScreen(device, &screen);
    RECT shown;
    GetWindowRect(today, &shown);
    EXPECT_EQ(shown.left, screen.x);
    EXPECT_EQ(shown.top, screen.y);
    EXPECT_GT(screen.x, 0) << "away from the desktop's corner";
    EXPECT_EQ(shown.right - shown.left, 240);

    // It moves with its window.
    RECT frame;
    GetWindowRect(device, &frame);
    SetWindowPos(device, nullptr, frame.left + 37, frame.top - 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Sleep(300);
    GetWindowRect(today, &shown);
    EXPECT_EQ(shown.left, screen.x + 37);
    EXPECT_EQ(shown.top, screen.y - 23);

    // Closed as a window manager closes it: the whole device ends.
    PostMessageW(device, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForSingleObject(run, 5000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(run, &code);
    CloseHandle(run);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(IsWindow(today));
    EXPECT_FALSE(IsWindow(device));
    RunProgram(L"\"" + BinFolder() + L"\\install.exe\" uninstall");
}

}  // namespace

namespace {

TEST(Script, ReadsEachCommandAndNamesTheLineOfAFault)
{
    struct Case {
        const char* text;
        bool valid;
        const wchar_t* error;  // a part of the message
    };
    const Case cases[] = {
        {"# a comment\r\n\r\ntap 135 58\r\nwait 500 # settle\r\nscreenshot shots/one.png\r\nreset\r\nquit\r\n", true,
         L""},
        {"tap 135\n", false, L":1: tap takes two screen coordinates"},
        {"wait 10\ntapp 1 2\n", false, L":2: unknown command \"tapp\""},
        {"wait soon\n", false, L":1: wait takes milliseconds"},
        {"screenshot\n", false, L":1: screenshot takes a file name"},
        {"quit now\n", false, L":1: unexpected \"now\" after quit"},
        {"tap -1 5\n", false, L":1: tap takes two screen coordinates"},
    };
    const std::wstring path = WorkFolder() + L"parse.txt";
    for (const Case& c : cases) {
        std::ofstream(path.c_str(), std::ios::binary) << c.text;
        std::vector<ScriptStep> steps;
        std::wstring error;
        EXPECT_EQ(ReadScript(path.c_str(), &steps, &error), c.valid) << c.text;
        EXPECT_NE(error.find(c.error), std::wstring::npos) << c.text;
        if (c.valid) {
            ASSERT_EQ(steps.size(), 5u);
            EXPECT_EQ(steps[0].kind, ScriptStep::kTap);
            EXPECT_EQ(steps[0].x, 135);
            EXPECT_EQ(steps[0].y, 58);
            EXPECT_EQ(steps[0].line, 3);
            EXPECT_EQ(steps[1].milliseconds, 500);
            EXPECT_EQ(steps[2].path, L"shots/one.png");
            EXPECT_EQ(steps[3].kind, ScriptStep::kReset);
            EXPECT_EQ(steps[4].kind, ScriptStep::kQuit);
        }
    }
    std::vector<ScriptStep> steps;
    std::wstring error;
    EXPECT_FALSE(ReadScript(L"C:\\no\\such\\script.txt", &steps, &error));
    EXPECT_NE(error.find(L"cannot open the script"), std::wstring::npos);
}

}  // namespace
