#include "open_dialog.h"

INT_PTR OpenItemDialog(HINSTANCE module, WORD templateId, DLGPROC procedure, HWND owner)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded)
        return -1;
    auto dialog = static_cast<const DLGTEMPLATE*>(LockResource(loaded));
    return DialogBoxIndirectParamW(module, dialog, owner, procedure, 0);
}

HINSTANCE ItemLibrary()
{
    return GetModuleHandleW(L"Tolvane.dll");
}
