// Module-wide state: zero at load, written during start-up and read by the callbacks.
#pragma once

#include "host/reaper_host.h"

struct HostApi {
    AdjustZoomFunction adjustZoom;
    GetHZoomLevelFunction GetHZoomLevel;      // required; read by the zoom history at a drag's end
    GetIniFileFunction get_ini_file;          // optional
    RefreshToolbar2Function RefreshToolbar2;  // optional
    AddExtensionsMainMenuFunction AddExtensionsMainMenu;  // optional
    GetSetArrangeView2Function GetSet_ArrangeView2;       // optional: without it, no zoom history
    EnumProjectsFunction EnumProjects;                    // optional: without it, one project
    GetCurrentProjectInLoadSaveFunction GetCurrentProjectInLoadSave;  // optional
    LocalizeStringFunction LocalizeString;  // optional: without it, every text is English
};

struct ModuleState {
    HostApi hostApi;
    const char* iniPath;
    int commandId;        // "Show Config"
    int toggleCommandId;  // "Toggle zoom drag"; 0 when the host gave none and it is left out
    int undoCommandId;    // "Undo zoom drag"; 0 when left out
    int redoCommandId;    // "Redo zoom drag"; 0 when left out
    HINSTANCE hostInstance;
    HWND mainWindow;
    WNDPROC previousProc;
    HWND configDialog;

    // Kept for the detach at unload.
    bool attached;       // false after it: a hook left in the time display's chain only forwards
    DWORD mainThreadId;  // the thread that attached the module: the host's main thread
    RegisterItemFunction registerItem;
    HWND timeDisplay;  // non-null while the hook is in the time display's chain
};

extern ModuleState moduleState;
