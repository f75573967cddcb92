// A "Ruvenkal" submenu in the host's Extensions menu: Settings, the on/off switch, and Undo and
// Redo zoom drag. Kept to the host's menu rules: plain command items when the menu is built,
// states set by command just before a menu shows, and the host's menus left alone otherwise, since
// the user may rearrange the items or move them to other menus.
#pragma once

#include "host/reaper_host.h"

// Start-up step, after the actions: registers the menu hook, then has the host make sure that
// its main window has an Extensions menu, if the host offers that.
void RegisterExtensionsMenu(RegisterItemFunction registerItem);

// Removes the hook. The menus stay as they are: the host is quitting when it unloads modules, and
// an item whose command no one handles does nothing.
void UnregisterExtensionsMenu(RegisterItemFunction registerItem);

// Registered under "hookcustommenu". Adds the submenu to "Main extensions" when the host builds
// it (flag 0). Before any menu shows (flag 1), sets the switch's check mark and the undo and redo
// items' grey state wherever they are in it.
void OnHookCustomMenu(const char* menuName, HMENU menu, int flag);
