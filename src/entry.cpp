// The module's only way in: the host calls ReaperPluginEntry after loading the module, and once
// more with a null record just before it unloads it.
#include "gesture/drag_gesture.h"
#include "gesture/time_display_hook.h"
#include "host/module_state.h"
#include "host/reaper_host.h"
#include "script/script_api.h"
#include "settings/settings_store.h"
#include "ui/actions.h"
#include "ui/extensions_menu.h"
#include "ui/keyboard.h"
#include "view/project_load.h"
#include "view/zoom_history.h"

namespace {

template <typename Function>
Function LookUp(LookupFunction lookup, const char* name) {
    return reinterpret_cast<Function>(lookup(name));
}

// Every host function the module uses, in one place. The required ones refuse the host when
// missing; the optional ones are looked up only after them, so that a refused host never has its
// configuration file read.
bool LookUpHostApi(LookupFunction lookup) {
    HostApi& api = moduleState.hostApi;
    api.adjustZoom = LookUp<AdjustZoomFunction>(lookup, "adjustZoom");
    if (api.adjustZoom == nullptr) {
        return false;
    }
    api.GetHZoomLevel = LookUp<GetHZoomLevelFunction>(lookup, "GetHZoomLevel");
    if (api.GetHZoomLevel == nullptr) {
        return false;
    }
    api.get_ini_file = LookUp<GetIniFileFunction>(lookup, "get_ini_file");
    api.RefreshToolbar2 = LookUp<RefreshToolbar2Function>(lookup, "RefreshToolbar2");
    api.AddExtensionsMainMenu =
        LookUp<AddExtensionsMainMenuFunction>(lookup, "AddExtensionsMainMenu");
    api.GetSet_ArrangeView2 = LookUp<GetSetArrangeView2Function>(lookup, "GetSet_ArrangeView2");
    api.EnumProjects = LookUp<EnumProjectsFunction>(lookup, "EnumProjects");
    api.GetCurrentProjectInLoadSave =
        LookUp<GetCurrentProjectInLoadSaveFunction>(lookup, "GetCurrentProjectInLoadSave");
    api.LocalizeString = LookUp<LocalizeStringFunction>(lookup, "LocalizeString");
    return true;
}

HWND FindTimeDisplay(HWND mainWindow) {
    // A null parent would search every top-level window on the desktop.
    if (mainWindow == nullptr) {
        return nullptr;
    }
    return FindWindowExA(mainWindow, nullptr, "REAPERTimeDisplay", nullptr);
}

int Attach(HINSTANCE instance, const HostInfo& info) {
    if (info.version != kHostInterfaceVersion || info.lookupFunction == nullptr ||
        info.registerItem == nullptr) {
        return 0;
    }
    if (!LookUpHostApi(info.lookupFunction)) {
        return 0;
    }
    OpenSettingsStore();
    HWND timeDisplay = FindTimeDisplay(info.mainWindow);
    // Two copies would both zoom on every move and register the same actions.
    if (timeDisplay == nullptr || TimeDisplayHookedByAnotherCopy(timeDisplay)) {
        return 0;
    }
    if (!RegisterActions(info.registerItem)) {
        return 0;
    }
    RegisterExtensionsMenu(info.registerItem);
    RegisterKeyboard(info.registerItem);
    RegisterScriptApi(info.registerItem);
    RegisterProjectLoad(info.registerItem);
    moduleState.mainThreadId = GetCurrentThreadId();
    moduleState.registerItem = info.registerItem;
    moduleState.hostInstance = instance;
    moduleState.mainWindow = info.mainWindow;
    InstallTimeDisplayHook(timeDisplay);
    moduleState.attached = true;
    return 1;
}

// Undoes what Attach did, so that nothing of the host calls into the module once it is unloaded.
void Detach() {
    if (!moduleState.attached) {
        return;
    }
    UnregisterProjectLoad(moduleState.registerItem);
    UnregisterScriptApi(moduleState.registerItem);
    UnregisterKeyboard(moduleState.registerItem);
    UnregisterActions(moduleState.registerItem);
    UnregisterExtensionsMenu(moduleState.registerItem);
    // A hook that must stay in the chain forwards from now on, with no drag to end later.
    ForgetDrag();
    RemoveTimeDisplayHook();
    ForgetZoomHistory();
    moduleState.attached = false;
}

}  // namespace

extern "C" int ReaperPluginEntry(HINSTANCE instance, HostInfo* info) {
    if (info == nullptr) {
        Detach();
        return 0;
    }
    // A second attach would register the action twice and chain the hook to itself.
    if (moduleState.attached) {
        return 1;
    }
    return Attach(instance, *info);
}
