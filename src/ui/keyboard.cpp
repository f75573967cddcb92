#include "ui/keyboard.h"

#include "gesture/drag_gesture.h"
#include "dialog/dialog_keys.h"

namespace {

// The host keeps this record's address for as long as it is registered.
AcceleratorRegistration keyboard = {&TranslateKeys, true, nullptr};

}  // namespace

void RegisterKeyboard(RegisterItemFunction registerItem) {
    registerItem("accelerator", &keyboard);
}

void UnregisterKeyboard(RegisterItemFunction registerItem) {
    registerItem("-accelerator", &keyboard);
}

int TranslateKeys(MSG* msg, AcceleratorRegistration*) {
    if (msg == nullptr) {
        return ACCEL_NOT_OURS;
    }
    // Not claimed: the host may have a drag of its own to cancel with the same key. With Alt held
    // (a drag that zooms only with Alt), Escape comes as a system key.
    const bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    if (keyDown && msg->wParam == VK_ESCAPE) {
        CancelDrag();
    }
    return TranslateDialogKeys(*msg);
}
