#include "dialog/dialog_theme.h"

#include "host/module_state.h"

namespace {

using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

bool DrawsWithItsOwnTextColour(HWND control) {
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, L"Button") != 0) {
        return false;
    }
    switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_GROUPBOX:
            return true;
        default:
            return false;
    }
}

}  // namespace

INT_PTR HostColours(UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<INT_PTR>(SendMessageW(moduleState.mainWindow, message, wParam, lParam));
}

void DropButtonVisualStyles(HWND dialog) {
    // Controls draw with visual styles only through uxtheme.dll, which is then loaded already:
    // without it there is no style to drop, and nothing of it is loaded here.
    HMODULE uxtheme = GetModuleHandleW(L"uxtheme.dll");
    auto setWindowTheme =
        uxtheme != nullptr ? reinterpret_cast<SetWindowThemeFunction>(
                                 reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetWindowTheme")))
                           : nullptr;
    if (setWindowTheme == nullptr) {
        return;
    }
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        if (DrawsWithItsOwnTextColour(control)) {
            setWindowTheme(control, L"", L"");
        }
    }
}
