// The module's actions: "Ruvenkal Extension : Show Config", which opens the configuration dialog,
// "Ruvenkal Extension : Toggle zoom drag", which switches the gesture on and off, and "Undo zoom
// drag" and "Redo zoom drag", which walk through the views that zoom drags replaced.
#pragma once

#include "host/reaper_host.h"

// Start-up step: registers Show Config (command, action, command hook), then Toggle zoom drag
// (command, action, toggle state), then Undo and Redo zoom drag where the host can give the views
// back. False, with only the first command name registered, when the host gives Show Config no
// command identifier; any other action without one is left out.
bool RegisterActions(RegisterItemFunction registerItem);

// Removes every registration and destroys the dialog, before the module is unloaded.
void UnregisterActions(RegisterItemFunction registerItem);

// Registered under "hookcommand": runs any of the actions; true only for their commands.
bool OnHookCommand(int command, int flag);

// Registered under "toggleaction": whether the gesture is on, for the toggle's command.
int OnToggleActionState(int command);
