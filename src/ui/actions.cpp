#include "ui/actions.h"

#include "host/module_state.h"
#include "settings/settings_store.h"
#include "settings/zoom_settings.h"
#include "ui/config_dialog.h"
#include "ui/gesture_switch.h"

namespace {

char showConfigName[] = "RUVENKAL";
char toggleName[] = "RUVENKAL_TOGGLE";

// The host keeps these records' addresses for as long as the actions are registered.
AccelRegistration showConfigAccel = {{0, 0, 0}, "Ruvenkal Extension : Show Config"};
AccelRegistration toggleAccel = {{0, 0, 0}, "Ruvenkal Extension : Toggle zoom drag"};

void* HookAddress() {
    return reinterpret_cast<void*>(&OnHookCommand);
}

void* ToggleStateAddress() {
    return reinterpret_cast<void*>(&OnToggleActionState);
}

// A toggle left out has identifier 0, which must not match the host's command 0.
bool IsToggleCommand(int command) {
    return moduleState.toggleCommandId != 0 && command == moduleState.toggleCommandId;
}

WORD CommandOf(int commandId) {
    return static_cast<WORD>(commandId & 0xFFFF);
}

void RegisterToggleAction(RegisterItemFunction registerItem) {
    moduleState.toggleCommandId = registerItem("command_id", toggleName);
    if (moduleState.toggleCommandId == 0) {
        return;
    }
    toggleAccel.accel.cmd = CommandOf(moduleState.toggleCommandId);
    registerItem("gaccel", &toggleAccel);
    registerItem("toggleaction", ToggleStateAddress());
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
    registerItem("gaccel", &showConfigAccel);
    registerItem("hookcommand", HookAddress());
    RegisterToggleAction(registerItem);
    return true;
}

void UnregisterActions(RegisterItemFunction registerItem) {
    registerItem("-hookcommand", HookAddress());
    registerItem("-gaccel", &showConfigAccel);
    if (moduleState.toggleCommandId != 0) {
        registerItem("-toggleaction", ToggleStateAddress());
        registerItem("-gaccel", &toggleAccel);
    }
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
    return false;
}

int OnToggleActionState(int command) {
    if (!IsToggleCommand(command)) {
        return -1;
    }
    return zoomSettings.enabled != 0 ? 1 : 0;
}
