#include "dialog/dialog_keys.h"

#include "host/module_state.h"

namespace {

bool ForShownDialog(HWND window) {
    HWND dialog = moduleState.configDialog;
    return dialog != nullptr && IsWindowVisible(dialog) &&
           (window == dialog || IsChild(dialog, window));
}

bool Held(int key) {
    return GetKeyState(key) < 0;
}

bool IsTextField(HWND window) {
    char name[8] = {};
    return GetClassNameA(window, name, sizeof name) > 0 && lstrcmpiA(name, "Edit") == 0;
}

bool IsCheckBox(HWND window) {
    const LRESULT code = SendMessageA(window, WM_GETDLGCODE, 0, 0);
    return (code & DLGC_BUTTON) != 0 && (code & DLGC_DEFPUSHBUTTON) == 0 &&
           (code & DLGC_UNDEFPUSHBUTTON) == 0;
}

// Moves between and inside controls, closes the dialog, or chooses a control by its letter.
bool IsDialogNavigation(UINT message, WPARAM key) {
    switch (key) {
        case VK_TAB:
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            return true;
        default:
            break;
    }
    const bool letterOrDigit = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    return message == WM_SYSKEYDOWN && letterOrDigit && !Held(VK_CONTROL);
}

bool IsFunctionKey(WPARAM key) {
    return key >= VK_F1 && key <= VK_F24;
}

bool TypesACharacter(WPARAM key) {
    return MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_CHAR) != 0 ||
           (key >= VK_NUMPAD0 && key <= VK_DIVIDE);
}

// Keys that type, move or edit text in a field.
bool EditsText(WPARAM key) {
    switch (key) {
        case VK_BACK:
        case VK_DELETE:  // with Shift, cut
        case VK_HOME:
        case VK_END:
        case VK_APPS:  // the field's context menu
            return true;
        case VK_INSERT:  // with Shift, paste; with Ctrl, copy
            return Held(VK_SHIFT) || Held(VK_CONTROL);
        case VK_F10:  // with Shift, the context menu
            return Held(VK_SHIFT);
        case 'A':
        case 'C':
        case 'V':
        case 'X':
        case 'Z':
            return Held(VK_CONTROL) || TypesACharacter(key);
        default:
            // Ctrl with Alt is AltGr, which types characters on many keyboards.
            return TypesACharacter(key) && (!Held(VK_CONTROL) || Held(VK_MENU));
    }
}

bool KeyStaysInDialog(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) {
        return true;
    }
    const WPARAM key = msg.wParam;
    if (IsDialogNavigation(msg.message, key)) {
        return true;
    }
    if (IsTextField(msg.hwnd)) {
        return EditsText(key);
    }
    if (IsFunctionKey(key)) {
        return false;
    }
    // A check box keeps the space bar; with Ctrl it is a shortcut like any other.
    if (Held(VK_CONTROL)) {
        return false;
    }
    return key != VK_SPACE || IsCheckBox(msg.hwnd);
}

}  // namespace

int TranslateDialogKeys(const MSG& msg) {
    if (!ForShownDialog(msg.hwnd)) {
        return ACCEL_NOT_OURS;
    }
    if (!KeyStaysInDialog(msg)) {
        // The host reads -666 as not meant for a text field; -667 says that it is.
        return IsTextField(msg.hwnd) ? ACCEL_TO_HOST_EVEN_FROM_TEXT : ACCEL_TO_HOST;
    }
    // Wide, as the dialog is: Alt with a letter of any script reaches a translated label's
    // mnemonic.
    return IsDialogMessageW(moduleState.configDialog, const_cast<MSG*>(&msg)) ? ACCEL_EATEN
                                                                              : ACCEL_PLAIN_KEY;
}
