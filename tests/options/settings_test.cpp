#include <gtest/gtest.h>

#include "game/game_session.h"
#include "options/settings.h"
#include "tests/support/item_key.h"

// The import slots through which the store reaches the registry: a test
// puts its own function there to make a call fail.
extern "C" decltype(&RegSetValueExW) __imp_RegSetValueExW;
extern "C" decltype(&RegCloseKey) __imp_RegCloseKey;

namespace {

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameSession.fiveDiscards = 0;
        gameSession.cardBackIcon = 153;
    }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath); }
};

TEST_F(SettingsStore, AMissingKeyKeepsTheDefaultsAndIsNeverCreated)
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
    EXPECT_EQ(LoadSettings(), ERROR_FILE_NOT_FOUND);
    gameSession.fiveDiscards = 1;
    EXPECT_EQ(SaveSettings(), ERROR_FILE_NOT_FOUND);
    HKEY key;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kItemKeyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(SettingsStore, LoadTakesEachValueOfFourBytesAndOnlyRealCardBacks)
{
    const struct {
        std::vector<StoredValue> stored;
        int fiveDiscards, cardBackIcon;
    } cases[] = {
        {{{L"DISCARD", REG_DWORD, Dword(7)}}, 7, 153},
        {{{L"DISCARD", REG_DWORD, Dword(1)}, {L"CARDBACK", REG_DWORD, Dword(164)}}, 1, 164},
        // Not a card back: each would draw a marked card as something else.
        {{{L"CARDBACK", REG_DWORD, Dword(0)}}, 0, 153},
        {{{L"CARDBACK", REG_DWORD, Dword(152)}}, 0, 153},
        {{{L"CARDBACK", REG_DWORD, Dword(165)}}, 0, 153},
        {{{L"CARDBACK", REG_DWORD, Dword(208)}}, 0, 153},
        {{{L"CARDBACK", REG_DWORD, Dword(0xFFFFFFFF)}}, 0, 153},
        // Any four bytes, whatever their type; no other size.
        {{{L"DISCARD", REG_BINARY, {1, 0, 0, 0}}, {L"CARDBACK", REG_SZ, {0xA0, 0, 0, 0}}}, 1, 160},
        {{{L"DISCARD", REG_BINARY, {1, 0, 0, 0, 0}}, {L"CARDBACK", REG_DWORD, Dword(155)}}, 0, 155},
        {{{L"DISCARD", REG_DWORD, Dword(1)}, {L"CARDBACK", REG_QWORD, {156, 0, 0, 0, 0, 0, 0, 0}}}, 1, 153},
        {{{L"CARDBACK", REG_BINARY, {156, 0}}}, 0, 153},
    };
    for (const auto& c : cases) {
        StoreItemKey(c.stored);
        gameSession.fiveDiscards = 0;
        gameSession.cardBackIcon = 153;
        EXPECT_EQ(LoadSettings(), ERROR_SUCCESS);
        EXPECT_EQ(gameSession.fiveDiscards, c.fiveDiscards);
        EXPECT_EQ(gameSession.cardBackIcon, c.cardBackIcon);
    }
}

// The stand-ins reach the registry through the slots' original contents.
const auto realClose = __imp_RegCloseKey;
const auto realSetValue = __imp_RegSetValueExW;
int closes = 0;

// Puts a stand-in into an import slot for as long as it lives.
template <typename Function>
class ImportPatch {
public:
    ImportPatch(Function* slot, Function replacement) : slot(slot), original(*slot) { Write(replacement); }
    ~ImportPatch() { Write(original); }

private:
    void Write(Function value)
    {
        DWORD protection;
        VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
        *slot = value;
        VirtualProtect(slot, sizeof(*slot), protection, &protection);
    }
    Function* slot;
    Function original;
};

TEST_F(SettingsStore, AFailedFirstWriteSkipsTheSecondAndClosesTheKey)
{
    StoreItemKey({{L"CARDBACK", REG_DWORD, Dword(157)}});
    gameSession.fiveDiscards = 1;
    gameSession.cardBackIcon = 163;
    closes = 0;
    {
        ImportPatch<decltype(&RegSetValueExW)> refuse(
            &__imp_RegSetValueExW,
            [](HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) -> LSTATUS {
                if (lstrcmpW(name, L"DISCARD") == 0)
                    return ERROR_ACCESS_DENIED;
                return realSetValue(key, name, reserved, type, data, size);
            });
        ImportPatch<decltype(&RegCloseKey)> count(&__imp_RegCloseKey, [](HKEY key) -> LSTATUS {
            ++closes;
            return realClose(key);
        });
        EXPECT_EQ(SaveSettings(), ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(Stored(L"DISCARD").first, 0u);
    EXPECT_EQ(Stored(L"CARDBACK").second, 157u) << "the second write never happened";
}

}  // namespace
