#include "ui/config_action.h"

#include "host/module_state.h"
#include "ui/config_dialog.h"

namespace {

char commandName[] = "RUVENKAL";

// The host keeps this record's address for as long as the action is registered.
AccelRegistration showConfigAccel = {{0, 0, 0}, "Ruvenkal Extension : Show Config"};

void* HookAddress() {
    return reinterpret_cast<void*>(&OnHookCommand);
}

}  // namespace

bool RegisterConfigAction(RegisterItemFunction registerItem) {
    moduleState.commandId = registerItem("command_id", commandName);
    if (moduleState.commandId == 0) {
        return false;
    }
    showConfigAccel.accel.cmd = static_cast<WORD>(moduleState.commandId & 0xFFFF);
    registerItem("gaccel", &showConfigAccel);
    registerItem("hookcommand", HookAddress());
    return true;
}

void UnregisterConfigAction(RegisterItemFunction registerItem) {
    registerItem("-hookcommand", HookAddress());
    registerItem("-gaccel", &showConfigAccel);
    if (moduleState.configDialog != nullptr) {
        DestroyWindow(moduleState.configDialog);
        moduleState.configDialog = nullptr;
    }
}

bool OnHookCommand(int command, int) {
    if (command != moduleState.commandId) {
        return false;
    }
    // A failed creation leaves the handle null, and the next run of the action tries again.
    if (moduleState.configDialog == nullptr) {
        moduleState.configDialog = CreateConfigDialog();
    }
    ShowWindow(moduleState.configDialog, SW_SHOW);
    return true;
}
