#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "device/device_environment.h"
#include "game/game_session.h"
#include "item/item_state.h"
#include "options/open_dialog.h"
#include "options/options_dialog.h"
#include "options/scoring_dialog.h"
#include "resources/resource.h"
#include "tests/support/item_key.h"
#include "tests/support/timer_script.h"
#include "tests/support/today_stub.h"
#include "today/shell/gdi_headroom.h"

namespace {

const wchar_t kDll[] = L"\\Windows\\Tolvane.dll";
const StoredValue kLink = {
    L"DLL", REG_SZ, {reinterpret_cast<const BYTE*>(kDll), reinterpret_cast<const BYTE*>(kDll) + sizeof(kDll)}};

const DLGTEMPLATE* Template(HMODULE module, WORD id)
{
    return static_cast<const DLGTEMPLATE*>(
        LockResource(LoadResource(module, FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG))));
}

// The options dialog as the item opens it, but modeless, so that a test
// can look at it between messages.
class OptionsDialog : public ::testing::Test {
protected:
    void TearDown() override
    {
        DestroyWindow(dialog);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
    }
    // Opens the dialog over the item's defaults, the item linked.
    void Open()
    {
        StoreItemKey({kLink});
        gameSession.fiveDiscards = 0;
        gameSession.cardBackIcon = 153;
        Show();
    }
    // Opens the dialog over gameSession as it is.
    void Show()
    {
        const HMODULE module = GetModuleHandleW(nullptr);
        DestroyWindow(dialog);
        dialog =
            CreateDialogIndirectParamW(module, Template(module, IDD_OPTIONS), today_stub::Window(), OptionsDlgProc, 0);
        ShowWindow(dialog, SW_SHOW);  // EndDialog would hide it
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

// The record's own settings where it holds a card back, whatever is stored;
// a record without one (the item never started in this process) shows what
// is stored. OK stores what the dialog shows.
TEST_F(OptionsDialog, ShowsTheRecordsOrElseTheStoredSettingsAndOkStoresThem)
{
    const struct {
        int fiveDiscards, cardBack;  // the record's
        LRESULT checked, selected;
        int choose;  // a list entry picked before OK, or -1
        DWORD storedDiscard, storedCardBack;
    } cases[] = {
        {0, 153, BST_UNCHECKED, 0, -1, 0, 153}, {7, 164, BST_CHECKED, 11, -1, 1, 164},
        {0, 0, BST_CHECKED, 5, -1, 1, 158},     {0, 152, BST_CHECKED, 5, 2, 1, 155},
        {0, 165, BST_CHECKED, 5, -1, 1, 158},
    };
    for (const auto& c : cases) {
        StoreItemKey({kLink, {L"DISCARD", REG_DWORD, Dword(1)}, {L"CARDBACK", REG_DWORD, Dword(158)}});
        gameSession.fiveDiscards = c.fiveDiscards;
        gameSession.cardBackIcon = c.cardBack;
        Show();
        EXPECT_EQ(Control(IDC_FIVE_DISCARDS, BM_GETCHECK), c.checked) << c.cardBack;
        EXPECT_EQ(Control(IDC_CARD_BACK_LIST, CB_GETCURSEL), c.selected) << c.cardBack;
        if (c.choose >= 0)
            Control(IDC_CARD_BACK_LIST, CB_SETCURSEL, c.choose);
        Command(IDOK);
        EXPECT_FALSE(IsWindowVisible(dialog)) << "OK ends the dialog";
        EXPECT_EQ(Stored(L"DISCARD"), std::make_pair(DWORD{REG_DWORD}, c.storedDiscard)) << c.cardBack;
        EXPECT_EQ(Stored(L"CARDBACK"), std::make_pair(DWORD{REG_DWORD}, c.storedCardBack)) << c.cardBack;
        EXPECT_EQ(gameSession.fiveDiscards, static_cast<int>(c.storedDiscard));
        EXPECT_EQ(gameSession.cardBackIcon, static_cast<int>(c.storedCardBack));
    }
    std::wstring names;
    for (int i = 0; i < Control(IDC_CARD_BACK_LIST, CB_GETCOUNT); ++i) {
        wchar_t name[32];
        Control(IDC_CARD_BACK_LIST, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        names += name + std::wstring(L"|");
    }
    EXPECT_EQ(names,
              L"Blue|Red|Black|Purple|Green|Blue Globe|Purple Globe|Black Globe|Blue Stripe|Red Stripe|"
              L"Black Stripe|Yellow Stripe|");
}

TEST_F(OptionsDialog, CancelAndListNotificationsChangeNothingResetWalletRefills)
{
    Open();
    Control(IDC_FIVE_DISCARDS, BM_SETCHECK, BST_CHECKED);
    Control(IDC_CARD_BACK_LIST, CB_SETCURSEL, 4);
    Command(IDC_CARD_BACK_LIST, CBN_SELCHANGE);
    Command(IDCANCEL);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "only OK ends the dialog";
    EXPECT_EQ(gameSession.fiveDiscards, 0);
    EXPECT_EQ(gameSession.cardBackIcon, 153);
    EXPECT_EQ(Stored(L"DISCARD").first, 0u);
    gameSession.wallet = 3;
    Command(IDC_RESET_WALLET);
    EXPECT_EQ(gameSession.wallet, 100);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_RESET_WALLET)));
    Control(IDC_FIVE_DISCARDS, BM_SETCHECK, BST_UNCHECKED);
    for (int& mark : gameSession.discardMarks)
        mark = 1;
    Command(IDOK);
    EXPECT_EQ(Stored(L"WALLET").first, 0u);
    EXPECT_EQ(std::count(gameSession.discardMarks, gameSession.discardMarks + 5, 1), 5) << "a lower limit keeps marks";
    Open();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_RESET_WALLET))) << "enabled again at the next opening";
}

TEST_F(OptionsDialog, UnlinkAsksThenDeletesTheLinkAndResetsTheDevice)
{
    HANDLE reset = CreateEventW(nullptr, TRUE, FALSE, kSoftResetEventName);
    const struct {
        int answer;
        bool keyExists, hasDll, resetAsked;
    } cases[] = {
        {IDNO, true, true, false},
        {IDYES, true, true, true},
        {IDYES, true, false, true},    // no "DLL": the reset all the same
        {IDYES, false, false, false},  // no key: nothing at all
    };
    for (const auto& c : cases) {
        Open();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
        if (c.keyExists)
            StoreItemKey(c.hasDll ? std::vector<StoredValue>{kLink} : std::vector<StoredValue>{});
        ResetEvent(reset);
        TimerScript script({[&] {
            HWND box = OwnedDialog(dialog);
            return box && PostMessageW(box, WM_COMMAND, MAKEWPARAM(c.answer, BN_CLICKED), 0);
        }});
        Command(IDC_UNLINK);
        EXPECT_TRUE(script.Finished()) << "a question owned by the dialog that asks";
        EXPECT_EQ(Stored(L"DLL").first != 0, c.answer == IDNO);
        EXPECT_EQ(WaitForSingleObject(reset, 0) == WAIT_OBJECT_0, c.resetAsked);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open until the device resets";
    }
    CloseHandle(reset);
}

// A tap through the input queue, at a point of a window's client area.
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
    // Wine 10 takes input only from the input desktop, which a device run takes over.
    SwitchDesktop(GetThreadDesktop(GetCurrentThreadId()));
    EXPECT_EQ(SendInput(2, input, sizeof(INPUT)), 2u) << "a tap the system refused would prove nothing";
}

// A real modal run from the row: a dialog opened from the options dialog
// (the unlink question, the paytable) closes again; then the options dialog
// must be in front with the Today screen still disabled under it, a tap on
// the row must do nothing, WM_CLOSE must not end it, and OK must.
void ExpectTheOptionsDialogKeepsTheDevice(WORD innerCommand, UINT closeMessage, WPARAM closeWParam)
{
    TODAYLISTITEM record;
    ASSERT_TRUE(today_stub::InitializeItem(&record));
    StoreItemKey({kLink});
    HWND today = today_stub::Window(), options = nullptr, foreground = nullptr;
    BOOL todayEnabled = TRUE, aliveAfterClose = FALSE;
    int markAfterTap = -1;
    TimerScript script({
        [&] { return (options = OwnedDialog(today)) && PostMessageW(options, WM_COMMAND, innerCommand, 0); },
        [&] {  // only a dialog that the options dialog owns
            HWND inner = OwnedDialog(options);
            return inner && PostMessageW(inner, closeMessage, closeWParam, 0);
        },
        [&] {
            if (OwnedDialog(options))
                return false;
            foreground = GetForegroundWindow();
            todayEnabled = IsWindowEnabled(today);
            Tap(itemState.itemWindow, {35, 10});  // the first card
            return true;
        },
        [&] {
            markAfterTap = gameSession.discardMarks[0];
            return PostMessageW(options, WM_CLOSE, 0, 0) != FALSE;
        },
        [&] {
            aliveAfterClose = IsWindowVisible(options);
            return PostMessageW(options, WM_COMMAND, IDOK, 0) != FALSE;
        },
    });
    EXPECT_EQ(OpenItemDialog(itemState.moduleInstance, IDD_OPTIONS, OptionsDlgProc, GetParent(itemState.itemWindow)),
              1);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(foreground, options) << "the options dialog is in front again";
    EXPECT_FALSE(todayEnabled) << "the Today screen stays disabled under the options dialog";
    EXPECT_EQ(markAfterTap, 0) << "a tap does not reach the row";
    EXPECT_TRUE(aliveAfterClose) << "WM_CLOSE is ignored as IDCANCEL is";
    EXPECT_TRUE(IsWindowEnabled(today)) << "OK gives the Today screen back";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
}

TEST(OptionsModalRun, NoToTheUnlinkQuestionOrThePaytableClosedKeepsTheDialogInFront)
{
    ExpectTheOptionsDialogKeepsTheDevice(IDC_UNLINK, WM_COMMAND, IDNO);
    ExpectTheOptionsDialogKeepsTheDevice(IDC_SCORING, WM_CLOSE, 0);
}

// Shows and paints a template of this program's resources, and closes it.
void OpenShowAndClose(const DLGTEMPLATE* dialogTemplate, DLGPROC procedure)
{
    HWND dialog =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, today_stub::Window(), procedure, 0);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    DestroyWindow(dialog);
}

TEST(DialogObjects, OpeningsKeepNothingButWhatWinesStaticKeeps)
{
    const HMODULE module = GetModuleHandleW(nullptr);
    // A bare template with only the banner: Wine's static control keeps an
    // object for each opening of a template with a bitmap.
    // clang-format off
    alignas(4) static const WORD bare[] = {
        LOWORD(WS_POPUP), HIWORD(WS_POPUP), 0, 0, 1, 0, 0, 100, 40, 0, 0, 0,  // header, one control
        LOWORD(WS_CHILD | WS_VISIBLE | SS_BITMAP), HIWORD(WS_CHILD | WS_VISIBLE | SS_BITMAP), 0, 0, 0, 0, 90, 20, 30,
        0xFFFF, 0x0082, 0xFFFF, IDB_BANNER, 0};
    // clang-format on
    const auto bareTemplate = reinterpret_cast<const DLGTEMPLATE*>(bare);
    const DLGPROC nothing = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    // Once each first: the system's own caches fill at the first opening.
    OpenShowAndClose(bareTemplate, nothing);
    OpenShowAndClose(Template(module, IDD_OPTIONS), OptionsDlgProc);
    OpenShowAndClose(Template(module, IDD_SCORING), ScoringDlgProc);
    const size_t start = GdiHeadroom();
    for (int i = 0; i < 50; ++i)
        OpenShowAndClose(bareTemplate, nothing);
    const size_t afterBare = GdiHeadroom();
    for (int i = 0; i < 50; ++i) {
        OpenShowAndClose(Template(module, IDD_OPTIONS), OptionsDlgProc);
        OpenShowAndClose(Template(module, IDD_SCORING), ScoringDlgProc);
    }
    EXPECT_EQ(afterBare - GdiHeadroom(), 2 * (start - afterBare));
}

}  // namespace
