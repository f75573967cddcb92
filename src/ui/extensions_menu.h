// A "Ruvenkal" submenu in the host's Extensions menu: Settings, the on/off switch with its check
// mark, and the version.
#pragma once

#include "host/reaper_host.h"

// Start-up step, after the actions: registers the menu hook, then has the host make sure that
// its main window has an Extensions menu, if the host offers that.
void RegisterExtensionsMenu(RegisterItemFunction registerItem);

// Removes the hook, and the submenu from the host's menu if that is still there.
void UnregisterExtensionsMenu(RegisterItemFunction registerItem);

// Registered under "hookcustommenu". Adds the submenu to "Main extensions" when the host builds
// it (flag 0) and sets the switch's check mark before the host shows it (flag 1); every other
// menu and flag is left alone.
void OnHookCustomMenu(const char* menuName, HMENU menu, int flag);
