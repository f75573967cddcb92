#include "dialog/dialog_theme.h"

#include "host/module_state.h"

namespace {

using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

// Controls whose visual style paints their text or face itself, ignoring the colours that
// WM_CTLCOLOR* sets: check boxes and group boxes draw the style's text colour, and a drop-down
// list draws its closed face from the style. Edit fields take the colours either way.
bool StyleIgnoresThemeColours(HWND control) {
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, L"ComboBox") == 0) {
        return true;
    }
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

void DropVisualStyles(HWND dialog) {
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
        // A single space matches no theme section; empty names, which Windows also takes,
        // Wine refuses.
        if (StyleIgnoresThemeColours(control)) {
            setWindowTheme(control, L" ", L" ");
        }
    }
}
