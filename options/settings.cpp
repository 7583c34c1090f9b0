#include "settings.h"

#include "game/game_session.h"
#include "resources/resource.h"

LONG OpenItemKey(REGSAM access, HKEY* key)
{
    // The desktop refuses CE's leading backslash and access 0: open without
    // the one and with the access each call needs, never creating the key.
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kItemKeyPath, 0, access, key);
}

namespace {

const wchar_t kDiscardValue[] = L"DISCARD";
const wchar_t kCardBackValue[] = L"CARDBACK";

// Any value of exactly four bytes is taken, whatever its type.
void ReadDword(HKEY key, const wchar_t* name, int* field)
{
    DWORD type = 0;
    BYTE data[4] = {};
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key, name, nullptr, &type, data, &size) == ERROR_SUCCESS && size == sizeof(data))
        *field = data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24;
}

// Only a real card back: any other icon id would draw a marked card as a
// face, a button or nothing, and the item never stores one.
bool IsCardBack(int icon)
{
    return icon >= IDI_FIRST_CARD_BACK && icon <= IDI_LAST_CARD_BACK;
}

LONG WriteDword(HKEY key, const wchar_t* name, int value)
{
    const DWORD data = static_cast<DWORD>(value);
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

}  // namespace

LONG LoadSettings()
{
    HKEY key;
    LONG result = OpenItemKey(KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    ReadDword(key, kDiscardValue, &gameSession.fiveDiscards);
    int cardBack = gameSession.cardBackIcon;
    ReadDword(key, kCardBackValue, &cardBack);
    if (IsCardBack(cardBack))
        gameSession.cardBackIcon = cardBack;
    return RegCloseKey(key);
}

LONG SaveSettings()
{
    HKEY key;
    LONG result = OpenItemKey(KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    // The first failed write ends the save.
    result = WriteDword(key, kDiscardValue, gameSession.fiveDiscards);
    if (result == ERROR_SUCCESS)
        result = WriteDword(key, kCardBackValue, gameSession.cardBackIcon);
    const LONG closed = RegCloseKey(key);
    return result != ERROR_SUCCESS ? result : closed;
}

bool SettingsInMemory()
{
    // The item's initialisation, the options' OK and LoadSettings each leave
    // a card back there.
    return IsCardBack(gameSession.cardBackIcon);
}
