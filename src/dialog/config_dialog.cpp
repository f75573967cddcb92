#include "dialog/config_dialog.h"

#include "gesture/drag_area.h"
#include "host/module_state.h"
#include "resources/resource.h"
#include "ruvenkal_version.h"
#include "settings/setting_keys.h"
#include "settings/settings_store.h"
#include "settings/zoom_settings.h"
#include "dialog/dialog_placement.h"
#include "dialog/dialog_texts.h"
#include "dialog/dialog_theme.h"
#include "gesture/gesture_switch.h"
#include "texts/ui_texts.h"

namespace {

// Whether the dialog is open: shown by the action and not closed since. Neither its visibility
// nor WM_SHOWWINDOW can tell at WM_DESTROY: destroying a window hides it first, and minimising the
// main window hides its owned windows too, through ShowWindow.
bool dialogOpen;

// An item of a drop-down list and the setting's value it stands for.
struct ListChoice {
    TextId text;
    int value;
};

// The lists' items, in their order on screen.
const ListChoice kFocusChoices[] = {
    {TEXT_FOCUS_HOST, FOCUS_HOST_PREFERENCE},
    {TEXT_FOCUS_POINTER, FOCUS_MOUSE_POINTER},
    {TEXT_FOCUS_EDIT_CURSOR, FOCUS_EDIT_CURSOR},
    {TEXT_FOCUS_EDIT_OR_PLAY, FOCUS_EDIT_OR_PLAY_CURSOR},
    {TEXT_FOCUS_VIEW_CENTRE, FOCUS_VIEW_CENTRE},
};
const ListChoice kModifierChoices[] = {
    {TEXT_MODIFIER_ANY, MODIFIER_ANY},     {TEXT_MODIFIER_NONE, MODIFIER_NONE},
    {TEXT_MODIFIER_SHIFT, MODIFIER_SHIFT}, {TEXT_MODIFIER_CTRL, MODIFIER_CTRL},
    {TEXT_MODIFIER_ALT, MODIFIER_ALT},
};

template <int count>
void FillChoices(HWND dialog, int id, const ListChoice (&choices)[count]) {
    for (const ListChoice& choice : choices) {
        AddComboItemUtf8(GetDlgItem(dialog, id), LocalizedText(choice.text));
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
        case SETTING_THRESHOLD:
            ShowSettingText(dialog, IDC_THRESHOLD, SETTING_THRESHOLD);
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
    ApplySettingText(dialog, IDC_THRESHOLD, SETTING_THRESHOLD);
    SwitchZoomDrag(IsChecked(dialog, IDC_ENABLED) ? 1 : 0);
}

// Where the dialog goes: over the main window, or where a minimised one will be restored, on its
// monitor, from what the system says of both.
POINT PositionOverMainWindow(const RECT& dialog) {
    HWND main = moduleState.mainWindow;
    MainWindowPlace place = {};
    GetWindowRect(main, &place.window);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (IsIconic(main) && GetWindowPlacement(main, &placement)) {
        place.minimised = true;
        place.normalPosition = placement.rcNormalPosition;
        place.restoresMaximised = (placement.flags & WPF_RESTORETOMAXIMIZED) != 0;
    }
    MonitorPlace monitor = {};
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &info)) {
        monitor = {info.rcMonitor, info.rcWork};
    } else {
        monitor.monitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        monitor.work = monitor.monitor;
    }
    return DialogPosition(dialog.right - dialog.left, dialog.bottom - dialog.top, place, monitor);
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
    dialogOpen = moduleState.configDialog != nullptr;
    ShowWindow(moduleState.configDialog, SW_SHOW);
}

HWND CreateConfigDialog() {
    // Wide, so that its texts can be in any language.
    HWND dialog = CreateDialogParamW(moduleState.hostInstance, MAKEINTRESOURCEW(IDD_CONFIG),
                                     moduleState.mainWindow, ConfigDialogProc, 0);
    if (dialog == nullptr) {
        return nullptr;
    }
    RECT own = {};
    GetWindowRect(dialog, &own);
    const POINT position = PositionOverMainWindow(own);
    MoveWindow(dialog, position.x, position.y, own.right - own.left, own.bottom - own.top, FALSE);
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
            LocalizeDialog(dialog);
            DropVisualStyles(dialog);
            return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
            // In the host's theme. A dialog procedure answers these with the brush itself, not
            // with TRUE.
            return HostColours(message, wParam, lParam);
        case WM_COMMAND:
            // Enter, Escape and the close box all apply: there is no way to close without it.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                dialogOpen = false;
                ApplyAndSave(dialog);
                ShowWindow(dialog, SW_HIDE);
            }
            return TRUE;
        case WM_DESTROY:
            // The host destroys it with its main window when it quits: what an open dialog holds
            // is applied, as any other way of closing it does. A closed one was applied already.
            if (dialogOpen) {
                dialogOpen = false;
                ApplyAndSave(dialog);
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
