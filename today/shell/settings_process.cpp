#include "settings_process.h"

#include <stdio.h>

#include "device/device_screen.h"
#include "device/include/todaycmn.h"
#include "device/start_program.h"
#include "today_items.h"

namespace {

// Says on the device's screen what keeps an item's options from opening.
void ShowOptionsProblem(HWND owner, const std::wstring& name, const std::wstring& problem)
{
    fwprintf(stderr, L"today: the options of item \"%ls\" cannot open: %ls\n", name.c_str(), problem.c_str());
    const std::wstring text = L"The options of " + name + L" cannot open: " + problem + L".";
    MessageBoxW(owner, text.c_str(), L"Settings", MB_OK | MB_ICONEXCLAMATION);
}

// The owner of what this process shows: a hidden window of its own over the
// device window, where there is one. A modal dialog disables its owner, and
// the device window, disabled from here, would take no drag or close.
HWND OptionsOwner()
{
    HWND device = DeviceWindowHandle();
    return device ? CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, device, nullptr, nullptr, nullptr)
                  : nullptr;
}

}  // namespace

std::wstring ItemOptionsProblem(HWND shell, const std::wstring& name)
{
    TodayItemKey key;
    if (!ReadTodayItemKey(name, &key))
        return L"its key is gone";
    // Otherwise the reason the Today screen gave for leaving the item out,
    // word for word.
    return key.problem.empty() ? WhyTodayItemLeftOut(shell, name) : key.problem;
}

void StartItemOptions(HWND owner, HWND shell, const std::wstring& name)
{
    const std::wstring problem = ItemOptionsProblem(shell, name);
    if (!problem.empty()) {
        ShowOptionsProblem(owner, name, problem);
        return;
    }
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (!StartProgram(L"\"" + std::wstring(self) + L"\" --options \"" + name + L"\""))
        ShowOptionsProblem(
            owner, name, L"the program that shows them cannot start (error " + std::to_wstring(GetLastError()) + L")");
}

int RunItemOptions(const wchar_t* itemName)
{
    TodayItemKey key;
    if (!ReadTodayItemKey(itemName, &key))
        key.problem = L"its key is gone";
    HMODULE library = key.problem.empty() ? LoadItemLibrary(key.record, &key.problem) : nullptr;
    auto procedure = library ? reinterpret_cast<DLGPROC>(reinterpret_cast<void*>(
                                   GetProcAddress(library, MAKEINTRESOURCEA(ORDINAL_OPTIONSDIALOGPROC))))
                             : nullptr;
    HRSRC found = library ? FindResourceW(library, MAKEINTRESOURCEW(500), RT_DIALOG) : nullptr;
    HGLOBAL loaded = found ? LoadResource(library, found) : nullptr;
    if (key.problem.empty() && (!procedure || !loaded))
        key.problem = std::wstring(key.record.szDLLPath) + L" has no options dialog (export 241 and template 500)";
    // Over the device window, where there is one, and moved with it.
    HWND owner = OptionsOwner();
    if (!key.problem.empty())
        ShowOptionsProblem(owner, itemName, key.problem);
    else
        DialogBoxIndirectParamW(library, static_cast<const DLGTEMPLATE*>(LockResource(loaded)), owner, procedure, 0);
    if (owner)
        DestroyWindow(owner);
    return key.problem.empty() ? 0 : 1;
}
