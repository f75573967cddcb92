#include "ui/extensions_menu.h"

#include <cstring>

#include "host/module_state.h"
#include "ruvenkal_version.h"
#include "settings/zoom_settings.h"

namespace {

const char kExtensionsMenu[] = "Main extensions";
const char kSubmenuText[] = "Ruvenkal";

enum MenuFlag : int { MENU_BUILT = 0, MENU_ABOUT_TO_SHOW = 1 };

void* HookAddress() {
    return reinterpret_cast<void*>(&OnHookCustomMenu);
}

// Menu items carry the host's command identifiers as they are, negative ones included.
UINT_PTR ItemId(int command) {
    return static_cast<UINT_PTR>(static_cast<UINT>(command));
}

UINT CheckedIf(bool on) {
    return on ? MF_CHECKED : MF_UNCHECKED;
}

// The position of the "Ruvenkal" submenu in `menu`, or -1.
int FindSubmenu(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[sizeof kSubmenuText + 1] = {};
        if (GetSubMenu(menu, i) != nullptr &&
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION) > 0 &&
            std::strcmp(text, kSubmenuText) == 0) {
            return i;
        }
    }
    return -1;
}

void AddSubmenu(HMENU menu) {
    // The host may build the same menu again: one submenu is enough.
    if (FindSubmenu(menu) >= 0) {
        return;
    }
    HMENU submenu = CreatePopupMenu();
    if (submenu == nullptr) {
        return;
    }
    AppendMenuA(submenu, MF_STRING, ItemId(moduleState.commandId), "&Settings...");
    if (moduleState.toggleCommandId != 0) {
        AppendMenuA(submenu, MF_STRING | CheckedIf(zoomSettings.enabled != 0),
                    ItemId(moduleState.toggleCommandId), "&Zoom by dragging the time display");
    }
    AppendMenuA(submenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(submenu, MF_STRING | MF_GRAYED, 0, "Ruvenkal " RUVENKAL_VERSION_TEXT);
    if (!AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu),
                     kSubmenuText)) {
        DestroyMenu(submenu);
        return;
    }
    moduleState.extensionsMenu = menu;
}

void ShowSwitchState(HMENU menu) {
    const int position = FindSubmenu(menu);
    if (position >= 0 && moduleState.toggleCommandId != 0) {
        CheckMenuItem(GetSubMenu(menu, position),
                      static_cast<UINT>(ItemId(moduleState.toggleCommandId)),
                      MF_BYCOMMAND | CheckedIf(zoomSettings.enabled != 0));
    }
}

}  // namespace

void RegisterExtensionsMenu(RegisterItemFunction registerItem) {
    registerItem("hookcustommenu", HookAddress());
    if (moduleState.hostApi.AddExtensionsMainMenu != nullptr) {
        moduleState.hostApi.AddExtensionsMainMenu();
    }
}

void UnregisterExtensionsMenu(RegisterItemFunction registerItem) {
    registerItem("-hookcustommenu", HookAddress());
    // Its items would run commands that no longer reach the module.
    HMENU menu = moduleState.extensionsMenu;
    if (menu != nullptr && IsMenu(menu)) {
        const int position = FindSubmenu(menu);
        if (position >= 0) {
            DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
        }
    }
    moduleState.extensionsMenu = nullptr;
}

void OnHookCustomMenu(const char* menuName, HMENU menu, int flag) {
    if (menuName == nullptr || std::strcmp(menuName, kExtensionsMenu) != 0 || !IsMenu(menu)) {
        return;
    }
    if (flag == MENU_BUILT) {
        AddSubmenu(menu);
    } else if (flag == MENU_ABOUT_TO_SHOW) {
        ShowSwitchState(menu);
    }
}
