#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/device_environment.h"
#include "item/game_session.h"
#include "options/open_dialog.h"
#include "options/options_dialog.h"
#include "options/scoring_dialog.h"
#include "options/settings.h"
#include "resources/resource.h"
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
        {0, 200, BST_UNCHECKED, CB_ERR},
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
        {1, 200, -1, 1, 153},  // nothing selected: the default back
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

}  // namespace
