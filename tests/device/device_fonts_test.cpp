#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/include/aygshell.h"
#include "tests/support/timer_script.h"

// The device lays its dialogs out and draws its bars and message boxes in
// its Tahoma at the Pocket PC's 8 points, whatever the host's Wine would
// pick for the name a template gives.
namespace {

struct Resolved {
    std::wstring face;
    LONG height;
};

// The family and cell height of the font a window draws its text in. The
// family comes from the font file: where Wine substitutes a face,
// GetTextFaceW answers the name asked for.
Resolved ResolvedFont(HWND window)
{
    HDC dc = GetDC(window);
    HGDIOBJ kept = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);  // a bitmap font has no outline metrics
    std::wstring family = face;
    if (const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr)) {
        std::vector<char> buffer(size);
        auto outline = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
        GetOutlineTextMetricsW(dc, size, outline);
        family = reinterpret_cast<const wchar_t*>(buffer.data() + reinterpret_cast<UINT_PTR>(outline->otmpFamilyName));
    }
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, kept);
    ReleaseDC(window, dc);
    return {family, metrics.tmHeight};
}

// An empty dialog template in the templates' font, 8 point "System".
struct SystemFontTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
    WORD pointSize;
    wchar_t face[7];
};

TEST(DeviceFonts, DialogsTheTitleBarsOkAndMessageBoxesAreTahomaOfEightPoints)
{
    alignas(4) static const SystemFontTemplate kTemplate = {
        {WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 100, 100}, 0, 0, 0, 8, L"System"};
    HWND dialog = CreateDialogIndirectParamW(
        nullptr, &kTemplate.header, nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_TRUE(dialog);
    SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON};
    ASSERT_TRUE(SHInitDialog(&info));
    HWND bar = FindWindowW(L"TolvaneDoneBar", nullptr);
    while (bar && GetWindow(bar, GW_OWNER) != dialog)
        bar = FindWindowExW(nullptr, bar, L"TolvaneDoneBar", nullptr);
    Resolved boxText = {};
    TimerScript script({[&] {
        HWND box = OwnedDialog(dialog);
        if (box)
            boxText = ResolvedFont(GetDlgItem(box, 0xFFFF));
        return box && PostMessageW(box, WM_COMMAND, IDOK, 0);
    }});
    MessageBoxW(dialog, L"Remove the link?", L"Tolvane", MB_OK);
    const struct {
        const char* what;
        Resolved font;
    } cases[] = {
        {"a dialog template's 8 point System", ResolvedFont(dialog)},
        {"the title bar's ok", ResolvedFont(FindWindowExW(bar, nullptr, L"BUTTON", L"ok"))},
        {"the message box's text", boxText},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.font.face, L"Tahoma") << c.what;
        EXPECT_EQ(c.font.height, 13) << c.what << " in " << std::string(c.font.face.begin(), c.font.face.end());
    }
    DestroyWindow(dialog);
}

}  // namespace
