#include "ui/extensions_menu.h"

#include <cstring>

#include "host/module_state.h"
#include "settings/zoom_settings.h"
#include "texts/ui_texts.h"
#include "view/zoom_history.h"

namespace {

const char kExtensionsMenu[] = "Main extensions";

enum MenuFlag : int { MENU_BUILT = 0, MENU_ABOUT_TO_SHOW = 1 };

void* HookAddress() {
    return reinterpret_cast<void*>(&OnHookCustomMenu);
}

// Menu items carry the host's command identifiers as they are, negative ones included.
UINT ItemId(int command) {
    return static_cast<UINT>(command);
}

bool HoldsCommand(HMENU menu, int command) {
    return GetMenuState(menu, ItemId(command), MF_BYCOMMAND) != static_cast<UINT>(-1);
}

// Each item only for an action the host registered.
void AppendCommand(HMENU menu, int command, TextId text) {
    if (command != 0) {
        AppendMenuUtf8(menu, MF_STRING, ItemId(command), LocalizedText(text));
    }
}

void AddSubmenu(HMENU menu) {
    // The host may build the same menu again: one submenu is enough.
    if (HoldsCommand(menu, moduleState.commandId)) {
        return;
    }
    HMENU submenu = CreatePopupMenu();
    if (submenu == nullptr) {
        return;
    }
    AppendCommand(submenu, moduleState.commandId, TEXT_MENU_SETTINGS);
    AppendCommand(submenu, moduleState.toggleCommandId, TEXT_MENU_TOGGLE);
    if (moduleState.undoCommandId != 0 || moduleState.redoCommandId != 0) {
        AppendMenuA(submenu, MF_SEPARATOR, 0, nullptr);
    }
    AppendCommand(submenu, moduleState.undoCommandId, TEXT_MENU_UNDO);
    AppendCommand(submenu, moduleState.redoCommandId, TEXT_MENU_REDO);
    if (!AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), "Ruvenkal")) {
        DestroyMenu(submenu);
    }
}

// By command: found in any submenu of `menu`, and nothing changes where the item isn't.
void ShowCheck(HMENU menu, int command, bool checked) {
    if (command != 0) {
        CheckMenuItem(menu, ItemId(command), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void ShowEnabled(HMENU menu, int command, bool enabled) {
    if (command != 0) {
        EnableMenuItem(menu, ItemId(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

void ShowStates(HMENU menu) {
    ShowCheck(menu, moduleState.toggleCommandId, zoomSettings.enabled != 0);
    ShowEnabled(menu, moduleState.undoCommandId, CanUndoZoomDrag());
    ShowEnabled(menu, moduleState.redoCommandId, CanRedoZoomDrag());
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
}

void OnHookCustomMenu(const char* menuName, HMENU menu, int flag) {
    if (menuName == nullptr || !IsMenu(menu)) {
        return;
    }
    if (flag == MENU_BUILT && std::strcmp(menuName, kExtensionsMenu) == 0) {
        AddSubmenu(menu);
    } else if (flag == MENU_ABOUT_TO_SHOW) {
        ShowStates(menu);
    }
}
