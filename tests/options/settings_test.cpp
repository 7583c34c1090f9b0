#include <gtest/gtest.h>

#include <vector>

#include "item/game_session.h"
#include "options/settings.h"

// The import slots through which the store reaches the registry: a test
// puts its own function there to make a call fail.
extern "C" decltype(&RegSetValueExW) __imp_RegSetValueExW;
extern "C" decltype(&RegCloseKey) __imp_RegCloseKey;

namespace {

const wchar_t kItemsKey[] = L"Software\\Microsoft\\Today\\Items";

bool KeyExists()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kItemKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

struct StoredValue {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<BYTE> Dword(DWORD value)
{
    return {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
}

void CreateKey(const std::vector<StoredValue>& values)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kItemKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const StoredValue& v : values)
        RegSetValueExW(key, v.name, 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    RegCloseKey(key);
}

bool ReadStored(const wchar_t* name, DWORD* type, DWORD* value)
{
    DWORD size = sizeof(*value);
    return RegGetValueW(HKEY_LOCAL_MACHINE, kItemKeyPath, name, RRF_RT_ANY, type, value, &size) == ERROR_SUCCESS;
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
        gameSession.fiveDiscards = 0;
        gameSession.cardBackIcon = 153;
    }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath); }
};

TEST_F(SettingsStore, AMissingKeyKeepsTheDefaultsAndIsNeverCreated)
{
    EXPECT_EQ(LoadSettings(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(gameSession.fiveDiscards, 0);
    EXPECT_EQ(gameSession.cardBackIcon, 153);
    gameSession.fiveDiscards = 1;
    EXPECT_EQ(SaveSettings(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsStore, LoadTakesEachValueOfFourBytes)
{
    struct Case {
        std::vector<StoredValue> stored;
        int fiveDiscards, cardBackIcon;
    };
    const Case cases[] = {
        {{}, 0, 153},
        {{{L"DISCARD", REG_DWORD, Dword(7)}}, 7, 153},
        {{{L"CARDBACK", REG_DWORD, Dword(158)}}, 0, 158},
        {{{L"DISCARD", REG_DWORD, Dword(1)}, {L"CARDBACK", REG_DWORD, Dword(164)}}, 1, 164},
        // Not a card back: each would draw a marked card as something else.
        {{{L"CARDBACK", REG_DWORD, Dword(0)}}, 0, 153},
        {{{L"CARDBACK", REG_DWORD, Dword(152)}}, 0, 153},
        {{{L"CARDBACK", REG_DWORD, Dword(165)}}, 0, 153},
        {{{L"CARDBACK", REG_DWORD, Dword(208)}}, 0, 153},
        {{{L"CARDBACK", REG_DWORD, Dword(0xFFFFFFFF)}}, 0, 153},
        {{{L"DISCARD", REG_BINARY, {1, 0, 0, 0}}, {L"CARDBACK", REG_SZ, {0xA0, 0, 0, 0}}}, 1, 160},
        {{{L"DISCARD", REG_BINARY, {1, 0, 0, 0, 0}}, {L"CARDBACK", REG_DWORD, Dword(155)}}, 0, 155},
        {{{L"DISCARD", REG_DWORD, Dword(1)}, {L"CARDBACK", REG_QWORD, {156, 0, 0, 0, 0, 0, 0, 0}}}, 1, 153},
        {{{L"CARDBACK", REG_BINARY, {156, 0}}}, 0, 153},  // too short to be a value
    };
    for (const Case& c : cases) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kItemKeyPath);
        CreateKey(c.stored);
        gameSession.fiveDiscards = 0;
        gameSession.cardBackIcon = 153;
        EXPECT_EQ(LoadSettings(), ERROR_SUCCESS);
        EXPECT_EQ(gameSession.fiveDiscards, c.fiveDiscards);
        EXPECT_EQ(gameSession.cardBackIcon, c.cardBackIcon);
    }
}

TEST_F(SettingsStore, SaveWritesBothAsDwords)
{
    CreateKey({{L"DLL", REG_SZ, {'x', 0, 0, 0}}});
    gameSession.fiveDiscards = 1;
    gameSession.cardBackIcon = 162;
    EXPECT_EQ(SaveSettings(), ERROR_SUCCESS);
    DWORD type = 0, value = 0;
    ASSERT_TRUE(ReadStored(L"DISCARD", &type, &value));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1u);
    ASSERT_TRUE(ReadStored(L"CARDBACK", &type, &value));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 162u);

    gameSession.fiveDiscards = 0;
    gameSession.cardBackIcon = 0;
    LoadSettings();
    EXPECT_EQ(gameSession.fiveDiscards, 1);
    EXPECT_EQ(gameSession.cardBackIcon, 162);
}

// The stand-ins reach the registry through the slots' original contents.
const auto realClose = __imp_RegCloseKey;
const auto realSetValue = __imp_RegSetValueExW;

int closes = 0;
LSTATUS WINAPI CountingClose(HKEY key)
{
    ++closes;
    return realClose(key);
}
LSTATUS WINAPI RefuseDiscard(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (lstrcmpW(name, L"DISCARD") == 0)
        return ERROR_ACCESS_DENIED;
    return realSetValue(key, name, reserved, type, data, size);
}

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
    CreateKey({{L"CARDBACK", REG_DWORD, Dword(157)}});
    gameSession.fiveDiscards = 1;
    gameSession.cardBackIcon = 163;
    closes = 0;
    {
        ImportPatch<decltype(&RegSetValueExW)> refuse(&__imp_RegSetValueExW, RefuseDiscard);
        ImportPatch<decltype(&RegCloseKey)> count(&__imp_RegCloseKey, CountingClose);
        EXPECT_EQ(SaveSettings(), ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(closes, 1);
    DWORD type = 0, value = 0;
    EXPECT_FALSE(ReadStored(L"DISCARD", &type, &value));
    ASSERT_TRUE(ReadStored(L"CARDBACK", &type, &value));
    EXPECT_EQ(value, 157u) << "the second write never happened";
}

}  // namespace
