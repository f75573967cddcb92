// The action "Ruvenkal Extension : Show Config", which opens the configuration dialog.
#pragma once

#include "host/reaper_host.h"

// Start-up step: registers the command, the action and the command hook. False, with only the
// command name registered, when the host gives no command identifier.
bool RegisterConfigAction(RegisterItemFunction registerItem);

// Removes the action and the hook and destroys the dialog, before the module is unloaded.
void UnregisterConfigAction(RegisterItemFunction registerItem);

// Registered under "hookcommand": true only for this module's own command.
bool OnHookCommand(int command, int flag);
