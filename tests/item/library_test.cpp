#include <gtest/gtest.h>

#include <vector>

#include "tests/support/canvas.h"

// Tolvane.dll as built: its exports and its resources.
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

// The Today screen creates the item through export 240 in every end-to-end run.
TEST(Library, ExportsOrdinals240And241AndNoNames)
{
    ASSERT_TRUE(Library());
    auto base = reinterpret_cast<const BYTE*>(Library());
    auto nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    EXPECT_EQ(exports->Base, 240u);
    EXPECT_EQ(exports->NumberOfFunctions, 2u);
    EXPECT_EQ(exports->NumberOfNames, 0u);
    EXPECT_TRUE(GetProcAddress(Library(), MAKEINTRESOURCEA(241)));
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
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(entry[i], 16) << "width, height, colours of " << id;
        EXPECT_EQ(reinterpret_cast<const WORD*>(entry + 6)[0], 4) << "bits of " << id;
    }
    auto banner = reinterpret_cast<const BITMAPINFOHEADER*>(Resource(507, RT_BITMAP));
    ASSERT_TRUE(banner);
    EXPECT_EQ(banner->biWidth, 215);
    EXPECT_EQ(banner->biHeight, 22);
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

}  // namespace
