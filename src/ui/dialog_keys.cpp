#include "ui/dialog_keys.h"

#include "host/module_state.h"

namespace {

// The host keeps this record's address for as long as it is registered.
AcceleratorRegistration dialogKeys = {&TranslateDialogKeys, true, nullptr};

bool ForShownDialog(HWND window) {
    HWND dialog = moduleState.configDialog;
    return dialog != nullptr && IsWindowVisible(dialog) &&
           (window == dialog || IsChild(dialog, window));
}

}  // namespace

void RegisterDialogKeys(RegisterItemFunction registerItem) {
    registerItem("accelerator", &dialogKeys);
}

void UnregisterDialogKeys(RegisterItemFunction registerItem) {
    registerItem("-accelerator", &dialogKeys);
}

int TranslateDialogKeys(MSG* msg, AcceleratorRegistration*) {
    if (msg == nullptr || !ForShownDialog(msg->hwnd)) {
        return ACCEL_NOT_OURS;
    }
    // Enter and Escape close the dialog, Tab moves between its controls, and every other key
    // reaches the control as typed, never a host shortcut.
    return IsDialogMessageA(moduleState.configDialog, msg) ? ACCEL_EATEN : ACCEL_PLAIN_KEY;
}
