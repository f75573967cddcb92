// The module's two actions: "Ruvenkal Extension : Show Config", which opens the configuration
// dialog, and "Ruvenkal Extension : Toggle zoom drag", which switches the gesture on and off.
#pragma once

#include "host/reaper_host.h"

// Start-up step: registers Show Config (command, action, command hook), then Toggle zoom drag
// (command, action, toggle state). False, with only the first command name registered, when the
// host gives Show Config no command identifier; a toggle without one is left out.
bool RegisterActions(RegisterItemFunction registerItem);

// Removes every registration and destroys the dialog, before the module is unloaded.
void UnregisterActions(RegisterItemFunction registerItem);

// Registered under "hookcommand": runs either action; true only for their two commands.
bool OnHookCommand(int command, int flag);

// Registered under "toggleaction": whether the gesture is on, for the toggle's command.
int OnToggleActionState(int command);
