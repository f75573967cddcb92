#include "ui/config_dialog.h"

#include "gesture/drag_area.h"
#include "host/module_state.h"
#include "resources/resource.h"
#include "settings/settings_store.h"
#include "settings/settings_text.h"
#include "settings/zoom_settings.h"

namespace {

void ShowSettings(HWND dialog) {
    FormatScale(zoomSettings.scale, textBuffer, kTextBufferSize);
    SetDlgItemTextA(dialog, IDC_SCALE, textBuffer);
    CheckDlgButton(dialog, IDC_UPPER, (zoomSettings.mask & UPPER) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_LOWER, (zoomSettings.mask & LOWER) ? BST_CHECKED : BST_UNCHECKED);
}

// A text without a finite number leaves the scale as it was; the mask keeps only the two bits
// the dialog shows.
void ApplySettings(HWND dialog) {
    GetDlgItemTextA(dialog, IDC_SCALE, textBuffer, kTextBufferSize);
    ParseScale(textBuffer, &zoomSettings.scale);
    int mask = 0;
    if (IsDlgButtonChecked(dialog, IDC_UPPER) == BST_CHECKED) {
        mask |= UPPER;
    }
    if (IsDlgButtonChecked(dialog, IDC_LOWER) == BST_CHECKED) {
        mask |= LOWER;
    }
    zoomSettings.mask = mask;
}

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

}  // namespace

HWND CreateConfigDialog() {
    HWND dialog = CreateDialogParamA(moduleState.hostInstance, MAKEINTRESOURCEA(IDD_CONFIG),
                                     moduleState.mainWindow, ConfigDialogProc, 0);
    if (dialog == nullptr) {
        return nullptr;
    }
    // Centred over the main window, on whichever monitor that is.
    RECT own = {};
    RECT main = {};
    GetWindowRect(dialog, &own);
    GetWindowRect(moduleState.mainWindow, &main);
    const int x = main.left + (Width(main) - Width(own)) / 2;
    const int y = main.top + (Height(main) - Height(own)) / 2;
    MoveWindow(dialog, x, y, Width(own), Height(own), FALSE);
    return dialog;
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            ShowSettings(dialog);
            return TRUE;
        case WM_COMMAND:
            // Enter, Escape and the close box all apply: there is no way to close without it.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                ApplySettings(dialog);
                SaveSettings();
                ShowWindow(dialog, SW_HIDE);
            }
            return TRUE;
        case WM_NCDESTROY:
            // Destroyed with its owner, the host's main window: forget the handle, which the
            // system may give to another window.
            if (moduleState.configDialog == dialog) {
                moduleState.configDialog = nullptr;
            }
            return FALSE;
        default:
            return FALSE;
    }
}
