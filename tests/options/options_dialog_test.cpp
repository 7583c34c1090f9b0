#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "device/device_environment.h"
#include "item/game_session.h"
#include "options/open_dialog.h"
#include "options/options_dialog.h"
#include "options/scoring_dialog.h"
#include "options/settings.h"
#include "resources/resource.h"
#include "tests/support/gdi_headroom.h"
#include "tests/support/today_stub.h"

namespace {

const int kNoValue = -1;

void Store(int discard, int cardBack, bool withDll = true)
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
    HKEY key;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kItemKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (withDll)
        RegSetValueExW(key, L"DLL", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"\\Windows\\Tolvane.dll"),
                       sizeof(L"\\Windows\\Tolvane.dll"));
    for (auto [name, value] : {std::pair{L"DISCARD", discard}, std::pair{L"CARDBACK", cardBack}})
        if (value != kNoValue)
            RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
}

int Stored(const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kItemKeyPath, name, RRF_RT_ANY, nullptr, &value, &size) != ERROR_SUCCESS)
        return kNoValue;
    return static_cast<int>(value);
}

bool HasDll()
{
    return RegGetValueW(HKEY_LOCAL_MACHINE, kItemKeyPath, L"DLL", RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

// The options dialog as the item opens it, but modeless, so that a test can
// look at it between messages.
class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameSession.moduleInstance = GetModuleHandleW(nullptr);
        gameSession.itemWindow = nullptr;
        gameSession.fiveDiscards = 0;
        gameSession.cardBackIcon = 153;
    }
    void TearDown() override
    {
        Close();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
    }

    HWND Open()
    {
        Close();
        HRSRC found = FindResourceW(gameSession.moduleInstance, MAKEINTRESOURCEW(IDD_OPTIONS), RT_DIALOG);
        auto dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(gameSession.moduleInstance, found)));
        dialog = CreateDialogIndirectParamW(gameSession.moduleInstance, dialogTemplate, today_stub::Window(),
                                            OptionsDlgProc, 0);
        ShowWindow(dialog, SW_SHOW);  // EndDialog would hide it
        return dialog;
    }
    void Close()
    {
        if (dialog)
            DestroyWindow(dialog);
        dialog = nullptr;
    }
    void Command(WORD id, WORD code = BN_CLICKED)
    {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    LRESULT Control(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendDlgItemMessageW(dialog, id, message, wParam, lParam);
    }

    HWND dialog = nullptr;
};

TEST_F(OptionsDialog, ShowsTheStoredSettings)
{
    struct Case {
        int discard, cardBack;
        LRESULT checked, selected;
    };
    const Case cases[] = {
        {0, 153, BST_UNCHECKED, 0}, {1, 164, BST_CHECKED, 11}, {7, 158, BST_CHECKED, 5},
        {0, 152, BST_UNCHECKED, 0}, {0, 208, BST_UNCHECKED, 0},  // not backs: the default
    };
    for (const Case& c : cases) {
        Store(c.discard, c.cardBack);
        gameSession.fiveDiscards = 0;
        gameSession.cardBackIcon = 153;
        LoadSettings();
        ASSERT_TRUE(Open());
        EXPECT_EQ(Control(IDC_FIVE_DISCARDS, BM_GETCHECK), c.checked) << c.discard;
        EXPECT_EQ(Control(IDC_CARD_BACK_LIST, CB_GETCURSEL), c.selected) << c.cardBack;
        ASSERT_EQ(Control(IDC_CARD_BACK_LIST, CB_GETCOUNT), 12);
        for (int i = 0; i < 12; ++i) {
            wchar_t name[32];
            Control(IDC_CARD_BACK_LIST, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
            EXPECT_STREQ(name, kCardBackNames[i]);
        }
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_RESET_WALLET)));
    }
    RECT rect;
    GetWindowRect(dialog, &rect);
    EXPECT_EQ(rect.top, 26) << "full screen below the title bar";
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(OptionsDialog, OkStoresBothSettings)
{
    struct Case {
        int discard, cardBack;
        int choose;  // a list entry to pick first, or -1
        int storedDiscard, storedCardBack;
    };
    const Case cases[] = {
        {7, 164, -1, 1, 164},
        {0, 153, 9, 0, 162},
        {1, 200, -1, 1, 153},  // not a back: the default
        {kNoValue, kNoValue, -1, 0, 153},
    };
    for (const Case& c : cases) {
        Store(c.discard, c.cardBack);
        gameSession.fiveDiscards = 0;
        gameSession.cardBackIcon = 153;
        LoadSettings();
        Open();
        if (c.choose >= 0)
            Control(IDC_CARD_BACK_LIST, CB_SETCURSEL, c.choose);
        Command(IDOK);
        EXPECT_EQ(Stored(L"DISCARD"), c.storedDiscard);
        EXPECT_EQ(Stored(L"CARDBACK"), c.storedCardBack);
        EXPECT_EQ(gameSession.fiveDiscards, c.storedDiscard);
        EXPECT_EQ(gameSession.cardBackIcon, c.storedCardBack);
    }
}

TEST_F(OptionsDialog, CancelAndListNotificationsChangeNothing)
{
    Store(kNoValue, kNoValue);
    Open();
    Control(IDC_FIVE_DISCARDS, BM_SETCHECK, BST_CHECKED);
    Control(IDC_CARD_BACK_LIST, CB_SETCURSEL, 4);
    Command(IDC_CARD_BACK_LIST, CBN_SELCHANGE);
    Command(IDC_CARD_BACK_LIST, CBN_DROPDOWN);
    Command(IDCANCEL);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "only OK ends the dialog";
    EXPECT_EQ(gameSession.fiveDiscards, 0);
    EXPECT_EQ(gameSession.cardBackIcon, 153);
    EXPECT_EQ(Stored(L"DISCARD"), kNoValue);
    EXPECT_EQ(Stored(L"CARDBACK"), kNoValue);
}

TEST_F(OptionsDialog, ResetWalletRefillsAtOnceAndGreysItsButton)
{
    Store(kNoValue, kNoValue);
    gameSession.wallet = 3;
    Open();
    Command(IDC_RESET_WALLET);
    EXPECT_EQ(gameSession.wallet, 100);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_RESET_WALLET)));
    Command(IDOK);
    EXPECT_EQ(Stored(L"WALLET"), kNoValue);
    Open();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_RESET_WALLET))) << "enabled again at the next opening";
}

TEST_F(OptionsDialog, InTheSettingsProcessItShowsWhatIsStored)
{
    // Where the item never started, the fields hold their load-time zeros.
    HMODULE library = LoadLibraryW(L"Tolvane.dll");
    ASSERT_TRUE(library);
    Store(1, 160);
    gameSession.moduleInstance = nullptr;
    gameSession.fiveDiscards = 0;
    gameSession.cardBackIcon = 0;
    HRSRC found = FindResourceW(library, MAKEINTRESOURCEW(IDD_OPTIONS), RT_DIALOG);
    dialog = CreateDialogIndirectParamW(library, static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(library, found))),
                                        nullptr, OptionsDlgProc, 0);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(gameSession.moduleInstance, library);
    EXPECT_EQ(Control(IDC_FIVE_DISCARDS, BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(Control(IDC_CARD_BACK_LIST, CB_GETCURSEL), 7);
    EXPECT_EQ(Stored(L"CARDBACK"), 160) << "nothing is saved before OK";
}

// Answers the next message box on this thread with a button, noting what
// it asked.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(int button) : button(button)
    {
        active = this;
        timer = SetTimer(nullptr, 0, 50, OnTimer);
    }
    ~MessageBoxAnswer()
    {
        KillTimer(nullptr, timer);
        active = nullptr;
    }
    int asked = 0;
    std::wstring text, caption;
    bool hasCancel = false;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        EnumThreadWindows(GetCurrentThreadId(), Visit, 0);
    }
    static BOOL CALLBACK Visit(HWND window, LPARAM)
    {
        if (!active || !GetDlgItem(window, IDYES) || !GetDlgItem(window, IDNO))
            return TRUE;
        wchar_t buffer[512];
        GetWindowTextW(window, buffer, 512);
        active->caption = buffer;
        GetDlgItemTextW(window, 0xFFFF, buffer, 512);
        active->text = buffer;
        active->hasCancel = GetDlgItem(window, IDCANCEL) != nullptr;
        ++active->asked;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(active->button, BN_CLICKED), 0);
        return FALSE;
    }
    static MessageBoxAnswer* active;
    int button;
    UINT_PTR timer;
};
MessageBoxAnswer* MessageBoxAnswer::active = nullptr;

TEST_F(OptionsDialog, UnlinkAsksThenDeletesTheLinkAndResetsTheDevice)
{
    HANDLE reset = CreateEventW(nullptr, TRUE, FALSE, kSoftResetEventName);
    struct Case {
        int answer;
        bool keyExists, hasDll;
        bool dllAfter, resetAsked;
    };
    const Case cases[] = {
        {IDNO, true, true, true, false},
        {IDYES, true, true, false, true},
        {IDYES, true, false, false, true},  // no "DLL": the reset all the same
        {IDYES, false, false, false, false},  // no key: nothing at all
    };
    for (const Case& c : cases) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
        if (c.keyExists)
            Store(kNoValue, kNoValue, c.hasDll);
        ResetEvent(reset);
        Open();
        MessageBoxAnswer answer(c.answer);
        Command(IDC_UNLINK);
        EXPECT_EQ(answer.asked, 1);
        EXPECT_EQ(answer.caption, L"Tolvane");
        EXPECT_EQ(answer.text,
                  L"Are you sure you would like Remove the Link to Tolvane? This will cause a Soft Reset and Tolvane "
                  L"will no longer be available. You will then be able to uninstall it.");
        EXPECT_FALSE(answer.hasCancel) << "Yes and No only";
        EXPECT_EQ(HasDll(), c.dllAfter);
        EXPECT_EQ(WaitForSingleObject(reset, 0) == WAIT_OBJECT_0, c.resetAsked);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open until the device resets";
    }
    CloseHandle(reset);
}

// Drives a real modal run of the options dialog from a timer, one step at a
// time: a step answers true when it has done its part. A run that stalls is
// ended with WM_QUIT, which ends every modal loop.
class ModalScript {
public:
    explicit ModalScript(std::vector<std::function<bool()>> steps) : steps(std::move(steps))
    {
        active = this;
        timer = SetTimer(nullptr, 0, 30, OnTimer);
    }
    ~ModalScript()
    {
        KillTimer(nullptr, timer);
        active = nullptr;
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    bool Finished() const { return next == steps.size(); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        if (!active || active->Finished())
            return;
        if (active->steps[active->next]())
            ++active->next;
        else if (++active->ticks > 200)
            PostQuitMessage(0);
    }
    static ModalScript* active;
    std::vector<std::function<bool()>> steps;
    size_t next = 0;
    int ticks = 0;
    UINT_PTR timer;
};
ModalScript* ModalScript::active = nullptr;

// The visible dialog (or message box) of this thread that owner owns.
HWND OwnedDialog(HWND owner)
{
    struct Search {
        HWND owner, found;
    } search = {owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) {
            auto s = reinterpret_cast<Search*>(lParam);
            wchar_t name[16];
            GetClassNameW(window, name, 16);
            if (!lstrcmpW(name, L"#32770") && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == s->owner)
                s->found = window;
            return s->found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A stylus tap at a point of a window's client area, through the input queue.
void Tap(HWND window, POINT point)
{
    ClientToScreen(window, &point);
    INPUT input[2] = {};
    for (INPUT& i : input) {
        i.type = INPUT_MOUSE;
        i.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        i.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    input[0].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

// What the device looks like once a dialog opened from the options dialog
// has closed again.
struct AfterInnerDialog {
    HWND innerOwner = nullptr;
    HWND foreground = nullptr;
    BOOL todayEnabled = TRUE;
    int marksAfterTap = -1;
    BOOL optionsAliveAfterClose = FALSE;
};

class OptionsModalRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(today_stub::InitializeItem(&record));
        Store(kNoValue, kNoValue);
        SetForegroundWindow(today_stub::Window());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath); }

    // Opens the options dialog as the row does; innerCommand opens a dialog
    // from it, which closeInner closes. Then the state is taken, a tap tried
    // on the row, WM_CLOSE sent to the options dialog, and OK pressed.
    INT_PTR Run(WORD innerCommand, std::function<void(HWND)> closeInner)
    {
        HWND today = today_stub::Window();
        ModalScript script({
            [&] {
                options = OwnedDialog(today);
                return options && PostMessageW(options, WM_COMMAND, innerCommand, 0);
            },
            [&] {
                HWND inner = OwnedDialog(options);
                if (!inner)
                    return false;
                seen.innerOwner = GetWindow(inner, GW_OWNER);
                closeInner(inner);
                return true;
            },
            [&] {
                if (OwnedDialog(options))
                    return false;
                seen.foreground = GetForegroundWindow();
                seen.todayEnabled = IsWindowEnabled(today);
                Tap(gameSession.itemWindow, {35, 10});  // the first card
                return true;
            },
            [&] {
                seen.marksAfterTap = gameSession.discardMarks[0];
                return PostMessageW(options, WM_CLOSE, 0, 0) != FALSE;
            },
            [&] {
                seen.optionsAliveAfterClose = IsWindowVisible(options);
                return PostMessageW(options, WM_COMMAND, IDOK, 0) != FALSE;
            },
        });
        const INT_PTR result = OpenItemDialog(IDD_OPTIONS, OptionsDlgProc, GetParent(gameSession.itemWindow));
        EXPECT_TRUE(script.Finished());
        return result;
    }

    void ExpectOptionsKeptTheDevice()
    {
        EXPECT_EQ(seen.innerOwner, options) << "owned by the dialog that opened it";
        EXPECT_EQ(seen.foreground, options) << "the options dialog is in front again";
        EXPECT_FALSE(seen.todayEnabled) << "the Today screen stays disabled under the options dialog";
        EXPECT_EQ(seen.marksAfterTap, 0) << "a tap does not reach the row";
        EXPECT_TRUE(seen.optionsAliveAfterClose) << "WM_CLOSE is ignored as IDCANCEL is";
        EXPECT_TRUE(IsWindowEnabled(today_stub::Window())) << "OK gives the Today screen back";
        EXPECT_FALSE(IsWindow(options));
    }

    TODAYLISTITEM record;
    HWND options = nullptr;
    AfterInnerDialog seen;
};

TEST_F(OptionsModalRun, NoToTheUnlinkQuestionKeepsTheDialogInFront)
{
    EXPECT_EQ(Run(IDC_UNLINK, [](HWND box) { PostMessageW(box, WM_COMMAND, IDNO, 0); }), 1);
    ExpectOptionsKeptTheDevice();
    EXPECT_TRUE(HasDll());
}

TEST_F(OptionsModalRun, ThePaytableClosedByWmCloseKeepsTheDialogInFront)
{
    EXPECT_EQ(Run(IDC_SCORING, [](HWND paytable) { PostMessageW(paytable, WM_CLOSE, 0, 0); }), 1);
    ExpectOptionsKeptTheDevice();
}

// Shows and paints a template of this program's resources, and closes it.
void OpenShowAndClose(const DLGTEMPLATE* dialogTemplate, DLGPROC procedure)
{
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, today_stub::Window(),
                                             procedure, 0);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    DestroyWindow(dialog);
}

const DLGTEMPLATE* Template(WORD id)
{
    HMODULE module = GetModuleHandleW(nullptr);
    return static_cast<const DLGTEMPLATE*>(
        LockResource(LoadResource(module, FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG))));
}

TEST(DialogObjects, OpeningsKeepNothingButWhatWinesStaticKeeps)
{
    gameSession.moduleInstance = GetModuleHandleW(nullptr);
    // A bare template with only the banner: Wine's static control keeps an
    // object for each opening of a template with a bitmap.
    alignas(4) static const WORD bare[] = {
        LOWORD(WS_POPUP), HIWORD(WS_POPUP), 0, 0, 1, 0, 0, 100, 40,  // header, one control
        0, 0, 0,                                                      // no menu, class or title
        LOWORD(WS_CHILD | WS_VISIBLE | SS_BITMAP), HIWORD(WS_CHILD | WS_VISIBLE | SS_BITMAP), 0, 0, 0, 0, 90, 20, 30,
        0xFFFF, 0x0082, 0xFFFF, IDB_BANNER, 0};
    const DLGPROC nothing = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    // Once each first: the system's own caches fill at the first opening.
    OpenShowAndClose(reinterpret_cast<const DLGTEMPLATE*>(bare), nothing);
    OpenShowAndClose(Template(IDD_OPTIONS), OptionsDlgProc);
    OpenShowAndClose(Template(IDD_SCORING), ScoringDlgProc);
    const size_t start = GdiHeadroom();
    for (int i = 0; i < 50; ++i)
        OpenShowAndClose(reinterpret_cast<const DLGTEMPLATE*>(bare), nothing);
    const size_t afterBare = GdiHeadroom();
    const size_t keptByStatic = start - afterBare;
    for (int i = 0; i < 50; ++i) {
        OpenShowAndClose(Template(IDD_OPTIONS), OptionsDlgProc);
        OpenShowAndClose(Template(IDD_SCORING), ScoringDlgProc);
    }
    EXPECT_EQ(afterBare - GdiHeadroom(), 2 * keptByStatic);
}

}  // namespace
