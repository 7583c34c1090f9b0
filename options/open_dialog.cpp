#include "open_dialog.h"

#include "item/game_session.h"

INT_PTR OpenItemDialog(WORD templateId, DLGPROC procedure, HWND owner)
{
    HRSRC found = FindResourceW(gameSession.moduleInstance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(gameSession.moduleInstance, found) : nullptr;
    if (!loaded)
        return -1;
    auto dialog = static_cast<const DLGTEMPLATE*>(LockResource(loaded));
    return DialogBoxIndirectParamW(gameSession.moduleInstance, dialog, owner, procedure, 0);
}
