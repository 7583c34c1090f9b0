#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/include/todaycmn.h"
#include "tests/support/canvas.h"
#include "tests/support/today_stub.h"

namespace {

HMODULE Library()
{
    static HMODULE library = LoadLibraryW(L"Tolvane.dll");
    return library;
}

const IMAGE_EXPORT_DIRECTORY* Exports(HMODULE module)
{
    auto base = reinterpret_cast<const BYTE*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress;
    return reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + rva);
}

const BYTE* Resource(WORD id, LPCWSTR type, DWORD* size = nullptr)
{
    HRSRC found = FindResourceW(Library(), MAKEINTRESOURCEW(id), type);
    if (!found)
        return nullptr;
    if (size)
        *size = SizeofResource(Library(), found);
    return static_cast<const BYTE*>(LockResource(LoadResource(Library(), found)));
}

TEST(Library, ExportsOrdinals240And241AndNoNames)
{
    ASSERT_TRUE(Library());
    const IMAGE_EXPORT_DIRECTORY* exports = Exports(Library());
    EXPECT_EQ(exports->Base, 240u);
    EXPECT_EQ(exports->NumberOfFunctions, 2u);
    EXPECT_EQ(exports->NumberOfNames, 0u);
    EXPECT_TRUE(GetProcAddress(Library(), MAKEINTRESOURCEA(240)));
    EXPECT_TRUE(GetProcAddress(Library(), MAKEINTRESOURCEA(241)));
    EXPECT_FALSE(GetProcAddress(Library(), "InitializeCustomItem"));
    EXPECT_FALSE(GetProcAddress(Library(), "OptionsDlgProc"));
}

TEST(Library, HoldsEveryIconAt16By16In16Colours)
{
    std::vector<WORD> ids;
    for (WORD id = 101; id <= 164; ++id)
        ids.push_back(id);
    ids.insert(ids.end(), {208, 209, 210});
    ASSERT_EQ(ids.size(), 67u);
    for (WORD id : ids) {
        const BYTE* group = Resource(id, RT_GROUP_ICON);
        ASSERT_TRUE(group) << id;
        // GRPICONDIR {reserved, type, count} then 14-byte entries.
        EXPECT_EQ(reinterpret_cast<const WORD*>(group)[2], 1) << id;
        const BYTE* entry = group + 6;
        EXPECT_EQ(entry[0], 16) << id;
        EXPECT_EQ(entry[1], 16) << id;
        EXPECT_EQ(entry[2], 16) << "colours of " << id;
        EXPECT_EQ(reinterpret_cast<const WORD*>(entry + 6)[0], 4) << "bits of " << id;
    }
    EXPECT_FALSE(Resource(100, RT_GROUP_ICON));
    EXPECT_FALSE(Resource(165, RT_GROUP_ICON));
}

TEST(Library, EveryTwoCardFacesDifferClearlyInTheirCorner)
{
    // At 16x16 a face is read by its corner: the rank and the small suit.
    std::vector<std::vector<COLORREF>> corners;
    for (WORD id = 101; id <= 152; ++id) {
        Canvas face(16, 16);
        face.Fill(RGB(0, 128, 0));
        HICON icon = static_cast<HICON>(LoadImageW(Library(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
        DrawIconEx(face.dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
        corners.emplace_back();
        for (int y = 2; y < 7; ++y)
            for (int x = 2; x < 14; ++x)
                corners.back().push_back(face.At(x, y));
    }
    for (size_t a = 0; a < corners.size(); ++a)
        for (size_t b = a + 1; b < corners.size(); ++b) {
            int differing = 0;
            for (size_t i = 0; i < corners[a].size(); ++i)
                differing += corners[a][i] != corners[b][i];
            EXPECT_GE(differing, 3) << "cards " << a + 1 << " and " << b + 1;
        }
}

TEST(Library, HoldsTheBanner)
{
    auto info = reinterpret_cast<const BITMAPINFOHEADER*>(Resource(507, RT_BITMAP));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->biWidth, 215);
    EXPECT_EQ(info->biHeight, 22);
    EXPECT_EQ(info->biBitCount, 4);
}

// A dialog template read back field by field.
struct Control {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    WORD classOrdinal;
    std::wstring text;  // or "#n" for a resource ordinal
};
struct Dialog {
    DWORD style, exStyle;
    short x, y, cx, cy;
    std::wstring caption;
    WORD pointSize;
    std::wstring font;
    std::vector<Control> controls;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* start) : start(start), at(start) {}
    WORD Word() { WORD w = *reinterpret_cast<const WORD*>(at); at += 2; return w; }
    DWORD Dword() { DWORD d = *reinterpret_cast<const DWORD*>(at); at += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    std::wstring String()
    {
        std::wstring s;
        for (WORD w = Word(); w; w = Word())
            s += static_cast<wchar_t>(w);
        return s;
    }
    std::wstring NameOrOrdinal()
    {
        if (*reinterpret_cast<const WORD*>(at) == 0xFFFF) {
            Word();
            return L"#" + std::to_wstring(Word());
        }
        return String();
    }
    void AlignDword() { at = start + ((at - start + 3) & ~3); }

private:
    const BYTE* start;
    const BYTE* at;
};

Dialog ReadDialog(WORD id)
{
    const BYTE* data = Resource(id, RT_DIALOG);
    EXPECT_TRUE(data);
    Dialog d;
    if (!data)
        return d;
    TemplateReader r(data);
    d.style = r.Dword();
    d.exStyle = r.Dword();
    WORD count = r.Word();
    d.x = r.Short(), d.y = r.Short(), d.cx = r.Short(), d.cy = r.Short();
    EXPECT_EQ(r.NameOrOrdinal(), L"") << "no menu";
    EXPECT_EQ(r.NameOrOrdinal(), L"") << "the default dialog class";
    d.caption = r.String();
    d.pointSize = r.Word();
    d.font = r.String();
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        Control c;
        c.style = r.Dword();
        EXPECT_EQ(r.Dword(), 0u) << "extended style";
        c.x = r.Short(), c.y = r.Short(), c.cx = r.Short(), c.cy = r.Short();
        c.id = r.Word();
        std::wstring cls = r.NameOrOrdinal();
        c.classOrdinal = cls.size() > 1 && cls[0] == L'#' ? static_cast<WORD>(std::stoi(cls.substr(1))) : 0;
        c.text = r.NameOrOrdinal();
        EXPECT_EQ(r.Word(), 0) << "no creation data";
        d.controls.push_back(c);
    }
    return d;
}

void ExpectControls(const Dialog& dialog, const std::vector<Control>& expected)
{
    ASSERT_EQ(dialog.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control& a = dialog.controls[i];
        const Control& e = expected[i];
        EXPECT_EQ(a.style, e.style) << i;
        EXPECT_EQ(a.x, e.x) << i;
        EXPECT_EQ(a.y, e.y) << i;
        EXPECT_EQ(a.cx, e.cx) << i;
        EXPECT_EQ(a.cy, e.cy) << i;
        EXPECT_EQ(a.id, e.id) << i;
        EXPECT_EQ(a.classOrdinal, e.classOrdinal) << i;
        EXPECT_EQ(a.text, e.text) << i;
    }
}

TEST(Library, OptionsDialogTemplate)
{
    Dialog d = ReadDialog(500);
    EXPECT_EQ(d.style, 0x80C800C0u);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 147);
    EXPECT_EQ(d.cy, 154);
    EXPECT_EQ(d.caption, L"Tolvane");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.font, L"System");
    ExpectControls(d, {
                          {0x50020000, 10, 18, 48, 8, 0xFFFF, 0x82, L"Card Back:"},
                          {0x50210003, 10, 28, 113, 48, 1017, 0x85, L""},
                          {0x50010000, 13, 103, 100, 11, 1032, 0x80, L"Unlink for Uninstall"},
                          {0x50010003, 10, 42, 58, 10, 1060, 0x80, L"Five Discards"},
                          {0x50010000, 13, 116, 100, 11, 1061, 0x80, L"Scoring"},
                          {0x50010000, 41, 138, 43, 12, 1, 0x80, L"OK"},
                          {0x5000000E, 3, 3, 143, 14, 0xFFFF, 0x82, L"#507"},
                          {0x50010000, 73, 43, 49, 10, 1063, 0x80, L"Reset Wallet"},
                          {0x50020000, 103, 142, 35, 8, 0xFFFF, 0x82, L"Ver. 1.0"},
                      });
}

TEST(Library, PaytableDialogTemplate)
{
    Dialog d = ReadDialog(501);
    EXPECT_EQ(d.style, 0x80C800C0u);
    EXPECT_EQ(d.cx, 130);
    EXPECT_EQ(d.cy, 130);
    EXPECT_EQ(d.caption, L"Tolvane");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.font, L"System");
    ExpectControls(d, {{0x5000000E, 8, 4, 20, 20, 0xFFFF, 0x82, L"#507"}});
}

TEST(Library, TheTodayScreenCreatesTheItemThroughOrdinal240)
{
    auto initialize = reinterpret_cast<PFNCUSTOMINITIALIZEITEM>(
        reinterpret_cast<void*>(GetProcAddress(Library(), MAKEINTRESOURCEA(240))));
    ASSERT_TRUE(initialize);
    TODAYLISTITEM record = {};
    record.fEnabled = TRUE;
    record.hinstDLL = Library();
    HWND row = initialize(&record, today_stub::Window());
    ASSERT_TRUE(row);
    EXPECT_EQ(GetParent(row), today_stub::Window());
    EXPECT_EQ(SendMessageW(row, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record), 0), TRUE);
    EXPECT_EQ(record.cyp, 20u);
    EXPECT_EQ(SendMessageW(row, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record), 0), FALSE);
    record.fEnabled = FALSE;
    EXPECT_EQ(initialize(&record, today_stub::Window()), nullptr);
}

}  // namespace
