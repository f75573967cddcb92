#include "ui/config_dialog.h"

#include "gesture/drag_area.h"
#include "host/module_state.h"
#include "resources/resource.h"
#include "ruvenkal_version.h"
#include "settings/setting_keys.h"
#include "settings/settings_store.h"
#include "settings/zoom_settings.h"
#include "ui/gesture_switch.h"

namespace {

// Whether the dialog was last shown rather than hidden. Destroying a window hides it first, so
// its visibility can't tell at WM_DESTROY.
bool dialogShown;

// An item of a drop-down list and the setting's value it stands for.
struct ListChoice {
    const char* text;
    int value;
};

// The lists' items, in their order on screen.
const ListChoice kFocusChoices[] = {
    {"Host preference", FOCUS_HOST_PREFERENCE}, {"Mouse pointer", FOCUS_MOUSE_POINTER},
    {"Edit cursor", FOCUS_EDIT_CURSOR},         {"Edit or play cursor", FOCUS_EDIT_OR_PLAY_CURSOR},
    {"Centre of view", FOCUS_VIEW_CENTRE},
};
const ListChoice kModifierChoices[] = {
    {"Always", MODIFIER_ANY},       {"No Shift, Ctrl or Alt", MODIFIER_NONE},
    {"Shift held", MODIFIER_SHIFT}, {"Ctrl held", MODIFIER_CTRL},
    {"Alt held", MODIFIER_ALT},
};

template <int count>
void FillChoices(HWND dialog, int id, const ListChoice (&choices)[count]) {
    for (const ListChoice& choice : choices) {
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.text));
    }
}

// A value without an item leaves no item chosen.
template <int count>
void ShowChoice(HWND dialog, int id, const ListChoice (&choices)[count], int value) {
    int chosen = -1;
    for (int i = 0; i < count; ++i) {
        chosen = choices[i].value == value ? i : chosen;
    }
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

// No item chosen leaves the setting as it was.
template <int count>
void ApplyChoice(HWND dialog, int id, const ListChoice (&choices)[count], int* value) {
    const LRESULT chosen = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (chosen >= 0 && chosen < count) {
        *value = choices[chosen].value;
    }
}

UINT CheckedIf(bool on) {
    return on ? BST_CHECKED : BST_UNCHECKED;
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void ShowSettingText(HWND dialog, int id, SettingId setting) {
    WriteSetting(setting, zoomSettings, textBuffer, kTextBufferSize);
    SetDlgItemTextA(dialog, id, textBuffer);
}

// A text without a usable number leaves the setting as it was.
void ApplySettingText(HWND dialog, int id, SettingId setting) {
    GetDlgItemTextA(dialog, id, textBuffer, kTextBufferSize);
    ReadSetting(setting, textBuffer, &zoomSettings);
}

// The controls that show each setting.
void ShowSetting(HWND dialog, SettingId id) {
    switch (id) {
        case SETTING_SCALE:
            ShowSettingText(dialog, IDC_SCALE, SETTING_SCALE);
            break;
        case SETTING_MASK:
            CheckDlgButton(dialog, IDC_UPPER, CheckedIf((zoomSettings.mask & UPPER) != 0));
            CheckDlgButton(dialog, IDC_LOWER, CheckedIf((zoomSettings.mask & LOWER) != 0));
            break;
        case SETTING_FOCUS:
            ShowChoice(dialog, IDC_FOCUS, kFocusChoices, zoomSettings.adjustMode);
            break;
        case SETTING_LOCK:
            ShowSettingText(dialog, IDC_LOCK, SETTING_LOCK);
            break;
        case SETTING_ENABLED:
            CheckDlgButton(dialog, IDC_ENABLED, CheckedIf(zoomSettings.enabled != 0));
            break;
        case SETTING_MODIFIER:
            ShowChoice(dialog, IDC_MODIFIER, kModifierChoices, zoomSettings.modifier);
            break;
        default:
            break;
    }
}

void ShowSettings(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_VERSION, "Ruvenkal " RUVENKAL_VERSION_TEXT);
    FillChoices(dialog, IDC_FOCUS, kFocusChoices);
    FillChoices(dialog, IDC_MODIFIER, kModifierChoices);
    for (int id = 0; id < SETTING_COUNT; ++id) {
        ShowSetting(dialog, static_cast<SettingId>(id));
    }
}

// The mask keeps only the two bits the dialog shows.
void ApplySettings(HWND dialog) {
    ApplySettingText(dialog, IDC_SCALE, SETTING_SCALE);
    zoomSettings.mask =
        (IsChecked(dialog, IDC_UPPER) ? UPPER : 0) | (IsChecked(dialog, IDC_LOWER) ? LOWER : 0);
    ApplyChoice(dialog, IDC_FOCUS, kFocusChoices, &zoomSettings.adjustMode);
    ApplySettingText(dialog, IDC_LOCK, SETTING_LOCK);
    ApplyChoice(dialog, IDC_MODIFIER, kModifierChoices, &zoomSettings.modifier);
    SwitchZoomDrag(IsChecked(dialog, IDC_ENABLED) ? 1 : 0);
}

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

// Where the main window is, or would be if it weren't minimised: the action may run from a
// global shortcut or a script while it is, and a minimised window sits near (-32000, -32000).
RECT MainWindowPlace() {
    RECT place = {};
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (IsIconic(moduleState.mainWindow) &&
        GetWindowPlacement(moduleState.mainWindow, &placement)) {
        return placement.rcNormalPosition;
    }
    GetWindowRect(moduleState.mainWindow, &place);
    return place;
}

// `start` moved so that `length` fits between `low` and `high`; at `low` if it can't.
int Within(int start, int length, int low, int high) {
    if (start + length > high) {
        start = high - length;
    }
    return start < low ? low : start;
}

// Centred over the main window, but wholly on the work area of the monitor nearest to it.
POINT DialogPosition(const RECT& dialog) {
    const RECT main = MainWindowPlace();
    POINT position = {main.left + (Width(main) - Width(dialog)) / 2,
                      main.top + (Height(main) - Height(dialog)) / 2};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromRect(&main, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        position.x = Within(position.x, Width(dialog), work.left, work.right);
        position.y = Within(position.y, Height(dialog), work.top, work.bottom);
    }
    return position;
}

void ApplyAndSave(HWND dialog) {
    ApplySettings(dialog);
    SaveSettings();
}

}  // namespace

void ShowConfigDialog() {
    // A failed creation leaves the handle null, and the next run of the action tries again.
    if (moduleState.configDialog == nullptr) {
        moduleState.configDialog = CreateConfigDialog();
    }
    ShowWindow(moduleState.configDialog, SW_SHOW);
}

HWND CreateConfigDialog() {
    HWND dialog = CreateDialogParamA(moduleState.hostInstance, MAKEINTRESOURCEA(IDD_CONFIG),
                                     moduleState.mainWindow, ConfigDialogProc, 0);
    if (dialog == nullptr) {
        return nullptr;
    }
    RECT own = {};
    GetWindowRect(dialog, &own);
    const POINT position = DialogPosition(own);
    MoveWindow(dialog, position.x, position.y, Width(own), Height(own), FALSE);
    return dialog;
}

void DestroyConfigDialog() {
    if (moduleState.configDialog != nullptr) {
        DestroyWindow(moduleState.configDialog);
        moduleState.configDialog = nullptr;
    }
}

void ShowSettingInConfigDialog(SettingId id) {
    if (moduleState.configDialog != nullptr) {
        ShowSetting(moduleState.configDialog, id);
    }
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            ShowSettings(dialog);
            return TRUE;
        case WM_COMMAND:
            // Enter, Escape and the close box all apply: there is no way to close without it.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                ApplyAndSave(dialog);
                ShowWindow(dialog, SW_HIDE);
            }
            return TRUE;
        case WM_DESTROY:
            // The host destroys it with its main window when it quits: what a shown dialog holds
            // is applied, as any other way of closing it does. A hidden one was applied already.
            if (dialogShown) {
                dialogShown = false;
                ApplyAndSave(dialog);
            }
            return FALSE;
        case WM_SHOWWINDOW:
            // Shown or hidden by ShowWindow itself, not along with its owner.
            if (lParam == 0) {
                dialogShown = wParam != FALSE;
            }
            return FALSE;
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
