#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/include/todaycmn.h"
#include "tests/support/canvas.h"
#include "tests/support/today_stub.h"

// Tolvane.dll as built: its exports, its resources, its entry.
namespace {

HMODULE Library()
{
    static HMODULE library = LoadLibraryW(L"Tolvane.dll");
    return library;
}

const BYTE* Resource(WORD id, LPCWSTR type)
{
    HRSRC found = FindResourceW(Library(), MAKEINTRESOURCEW(id), type);
    return found ? static_cast<const BYTE*>(LockResource(LoadResource(Library(), found))) : nullptr;
}

TEST(Library, ExportsOrdinals240And241AndNoNamesAndCreatesTheItemThrough240)
{
    ASSERT_TRUE(Library());
    auto base = reinterpret_cast<const BYTE*>(Library());
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    EXPECT_EQ(exports->Base, 240u);
    EXPECT_EQ(exports->NumberOfFunctions, 2u);
    EXPECT_EQ(exports->NumberOfNames, 0u);
    EXPECT_TRUE(GetProcAddress(Library(), MAKEINTRESOURCEA(241)));
    EXPECT_FALSE(GetProcAddress(Library(), "InitializeCustomItem"));
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
    record.fEnabled = FALSE;
    EXPECT_EQ(initialize(&record, today_stub::Window()), nullptr);
}

TEST(Library, HoldsEveryIconAt16By16In16ColoursAndTheBanner)
{
    for (WORD id = 100; id <= 211; ++id) {
        const BYTE* group = Resource(id, RT_GROUP_ICON);  // GRPICONDIR, then 14-byte entries
        EXPECT_EQ(group != nullptr, (id >= 101 && id <= 164) || (id >= 208 && id <= 210)) << id;
        if (!group)
            continue;
        EXPECT_EQ(reinterpret_cast<const WORD*>(group)[2], 1) << id;
        const BYTE* entry = group + 6;
        EXPECT_EQ(entry[0] * 10000 + entry[1] * 100 + entry[2], 161616) << "16x16, 16 colours: " << id;
        EXPECT_EQ(reinterpret_cast<const WORD*>(entry + 6)[0], 4) << "bits of " << id;
    }
    auto banner = reinterpret_cast<const BITMAPINFOHEADER*>(Resource(507, RT_BITMAP));
    ASSERT_TRUE(banner);
    EXPECT_EQ(banner->biWidth * 1000 + banner->biHeight, 215022);
    EXPECT_EQ(banner->biBitCount, 4);
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

// A dialog template written out field by field, in order: the header, then
// one line per control (style, extended style, position and size, id, class,
// text, creation data size); "#n" is an ordinal.
std::wstring DescribeTemplate(WORD id)
{
    const BYTE* start = Resource(id, RT_DIALOG);
    const BYTE* at = start;
    std::wstring text;
    auto word = [&] { WORD w = *reinterpret_cast<const WORD*>(at); at += 2; return w; };
    auto dword = [&] {
        wchar_t hex[16];
        swprintf(hex, 16, L"%lX ", *reinterpret_cast<const DWORD*>(at));
        at += 4;
        text += hex;
    };
    auto shorts = [&](int n) {
        while (n--)
            text += std::to_wstring(static_cast<short>(word())) + L" ";
    };
    auto nameOrOrdinal = [&] {
        if (*reinterpret_cast<const WORD*>(at) == 0xFFFF) {
            word();
            text += L"#" + std::to_wstring(word());
        } else {
            for (WORD w = word(); w; w = word())
                text += static_cast<wchar_t>(w);
        }
        text += L"|";
    };
    if (!start)
        return L"missing";
    dword(), dword();
    const WORD count = word();
    shorts(4);
    nameOrOrdinal(), nameOrOrdinal(), nameOrOrdinal(), shorts(1), nameOrOrdinal();
    for (WORD i = 0; i < count; ++i) {
        at = start + ((at - start + 3) & ~3);
        text += L"\n";
        dword(), dword(), shorts(5), nameOrOrdinal(), nameOrOrdinal(), shorts(1);
    }
    return text;
}

TEST(Library, HoldsTheOptionsAndPaytableTemplatesAsSpecified)
{
    EXPECT_EQ(DescribeTemplate(500), L"80C800C0 0 0 0 147 154 ||Tolvane|8 System|"
                                     L"\n50020000 0 10 18 48 8 -1 #130|Card Back:|0 "
                                     L"\n50210003 0 10 28 113 48 1017 #133||0 "
                                     L"\n50010000 0 13 103 100 11 1032 #128|Unlink for Uninstall|0 "
                                     L"\n50010003 0 10 42 58 10 1060 #128|Five Discards|0 "
                                     L"\n50010000 0 13 116 100 11 1061 #128|Scoring|0 "
                                     L"\n50010000 0 41 138 43 12 1 #128|OK|0 "
                                     L"\n5000000E 0 3 3 143 14 -1 #130|#507|0 "
                                     L"\n50010000 0 73 43 49 10 1063 #128|Reset Wallet|0 "
                                     L"\n50020000 0 103 142 35 8 -1 #130|Ver. 1.0|0 ");
    EXPECT_EQ(DescribeTemplate(501), L"80C800C0 0 0 0 130 130 ||Tolvane|8 System|\n5000000E 0 8 4 20 20 -1 #130|#507|0 ");
}

}  // namespace
