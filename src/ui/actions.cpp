#include "ui/actions.h"

#include "gesture/drag_gesture.h"
#include "host/module_state.h"
#include "settings/settings_store.h"
#include "settings/zoom_settings.h"
#include "dialog/config_dialog.h"
#include "gesture/gesture_switch.h"
#include "texts/ui_texts.h"
#include "view/zoom_history.h"

namespace {

char showConfigName[] = "RUVENKAL";
char toggleName[] = "RUVENKAL_TOGGLE";
char undoName[] = "RUVENKAL_UNDO";
char redoName[] = "RUVENKAL_REDO";

// The host keeps these records' addresses for as long as the actions are registered. Their names
// are filled in, in the user's language, just before.
AccelRegistration showConfigAccel = {{0, 0, 0}, nullptr};
AccelRegistration toggleAccel = {{0, 0, 0}, nullptr};
AccelRegistration undoAccel = {{0, 0, 0}, nullptr};
AccelRegistration redoAccel = {{0, 0, 0}, nullptr};

void* HookAddress() {
    return reinterpret_cast<void*>(&OnHookCommand);
}

void* ToggleStateAddress() {
    return reinterpret_cast<void*>(&OnToggleActionState);
}

// An action left out has identifier 0, which must not match the host's command 0.
bool IsCommand(int command, int registered) {
    return registered != 0 && command == registered;
}

bool IsToggleCommand(int command) {
    return IsCommand(command, moduleState.toggleCommandId);
}

WORD CommandOf(int commandId) {
    return static_cast<WORD>(commandId & 0xFFFF);
}

// An optional action: its command, then its action record. 0, with nothing more registered,
// when the host gives no command identifier.
int RegisterOptionalAction(RegisterItemFunction registerItem, char* name, AccelRegistration* accel,
                           TextId description) {
    const int commandId = registerItem("command_id", name);
    if (commandId != 0) {
        accel->accel.cmd = CommandOf(commandId);
        accel->description = LocalizedText(description);
        registerItem("gaccel", accel);
    }
    return commandId;
}

void UnregisterOptionalAction(RegisterItemFunction registerItem, int commandId,
                              AccelRegistration* accel) {
    if (commandId != 0) {
        registerItem("-gaccel", accel);
    }
}

void RegisterToggleAction(RegisterItemFunction registerItem) {
    moduleState.toggleCommandId =
        RegisterOptionalAction(registerItem, toggleName, &toggleAccel, TEXT_TOGGLE_ACTION);
    if (moduleState.toggleCommandId != 0) {
        registerItem("toggleaction", ToggleStateAddress());
    }
}

// Without the host functions that a zoom history needs, there is nothing to undo or redo.
void RegisterHistoryActions(RegisterItemFunction registerItem) {
    if (!ZoomHistoryAvailable()) {
        return;
    }
    moduleState.undoCommandId =
        RegisterOptionalAction(registerItem, undoName, &undoAccel, TEXT_UNDO_ACTION);
    moduleState.redoCommandId =
        RegisterOptionalAction(registerItem, redoName, &redoAccel, TEXT_REDO_ACTION);
}

void ToggleZoomDrag() {
    SwitchZoomDrag(zoomSettings.enabled != 0 ? 0 : 1);
    SaveSettings();
    // Otherwise closing the dialog would apply its box, and undo the toggle.
    ShowSettingInConfigDialog(SETTING_ENABLED);
}

}  // namespace

bool RegisterActions(RegisterItemFunction registerItem) {
    moduleState.commandId = registerItem("command_id", showConfigName);
    if (moduleState.commandId == 0) {
        return false;
    }
    showConfigAccel.accel.cmd = CommandOf(moduleState.commandId);
    showConfigAccel.description = LocalizedText(TEXT_SHOW_CONFIG_ACTION);
    registerItem("gaccel", &showConfigAccel);
    registerItem("hookcommand", HookAddress());
    RegisterToggleAction(registerItem);
    RegisterHistoryActions(registerItem);
    return true;
}

void UnregisterActions(RegisterItemFunction registerItem) {
    registerItem("-hookcommand", HookAddress());
    registerItem("-gaccel", &showConfigAccel);
    if (moduleState.toggleCommandId != 0) {
        registerItem("-toggleaction", ToggleStateAddress());
    }
    UnregisterOptionalAction(registerItem, moduleState.toggleCommandId, &toggleAccel);
    UnregisterOptionalAction(registerItem, moduleState.undoCommandId, &undoAccel);
    UnregisterOptionalAction(registerItem, moduleState.redoCommandId, &redoAccel);
    DestroyConfigDialog();
}

bool OnHookCommand(int command, int) {
    if (command == moduleState.commandId) {
        ShowConfigDialog();
        return true;
    }
    if (IsToggleCommand(command)) {
        ToggleZoomDrag();
        return true;
    }
    // A drag still held ends first, so that its zoom is the newest to undo. With nothing to undo
    // or redo, still handled: the command is ours.
    if (IsCommand(command, moduleState.undoCommandId)) {
        EndDrag();
        UndoZoomDrag();
        return true;
    }
    if (IsCommand(command, moduleState.redoCommandId)) {
        EndDrag();
        RedoZoomDrag();
        return true;
    }
    return false;
}

int OnToggleActionState(int command) {
    if (!IsToggleCommand(command)) {
        return -1;
    }
    return zoomSettings.enabled != 0 ? 1 : 0;
}
