// The part of REAPER's extension interface that this module uses. Everything here is the host's
// ABI: field order, widths and the C calling convention must stay as they are.
#pragma once

#include <windows.h>

#include <cstddef>

// The only interface version this module accepts.
constexpr int kHostInterfaceVersion = 0x20E;

using RegisterItemFunction = int (*)(const char* key, void* item);
using LookupFunction = void* (*)(const char* name);

// Passed to ReaperPluginEntry; owned by the host and read only during that call.
struct HostInfo {
    int version;
    HWND mainWindow;
    RegisterItemFunction registerItem;
    LookupFunction lookupFunction;
};

static_assert(offsetof(HostInfo, mainWindow) == sizeof(void*), "one machine word per field");
static_assert(offsetof(HostInfo, lookupFunction) == 3 * sizeof(void*),
              "one machine word per field");

// Host functions, looked up by these names.
using AdjustZoomFunction = void (*)(double amount, int forceSet, int doUpdate, int centerMode);
using GetHZoomLevelFunction = double (*)();
using GetIniFileFunction = const char* (*)();
// Redraws the toolbar buttons of `command` in action list `section` (0: the main one).
using RefreshToolbar2Function = void (*)(int section, int command);

// A project of the host; only ever passed back to it.
struct ReaProject;

// Reads (isSet false) or sets the arrange view's start and end time; screen x 0 and 0 mean the
// whole view.
using GetSetArrangeView2Function = void (*)(ReaProject* proj, bool isSet, int screen_x_start,
                                            int screen_x_end, double* start_timeInOut,
                                            double* end_timeInOut);
// The project open in tab `idx`, or with -1 the current one; null past the last.
using EnumProjectsFunction = ReaProject* (*)(int idx, char* projfnOutOptional,
                                             int projfnOutOptional_sz);

// The project being loaded or saved, while the host is doing so; null otherwise.
using GetCurrentProjectInLoadSaveFunction = ReaProject* (*)();

// The host's reader and writer of a project file; only ever passed back to it.
struct ProjectStateContext;

// Registered under "projectconfig": the host calls these as it loads, saves and undoes projects,
// and BeginLoadProjectState also when the user starts a new project. The host keeps the address.
struct ProjectConfigExtension {
    // True if the line (and any further lines read through `ctx`) was this module's.
    bool (*ProcessExtensionLine)(const char* line, ProjectStateContext* ctx, bool isUndo,
                                 ProjectConfigExtension* reg);
    void (*SaveExtensionConfig)(ProjectStateContext* ctx, bool isUndo, ProjectConfigExtension* reg);
    // Before any ProcessExtensionLine of a load; isUndo when the host's own undo loads a state.
    void (*BeginLoadProjectState)(bool isUndo, ProjectConfigExtension* reg);
    void* userData;
};

// `text` (UTF-8) in the user's language, from the host's LangPack section `section`; flag 1 would
// translate only where printf formats match.
using LocalizeStringFunction = const char* (*)(const char* text, const char* section, int flags);

// Makes sure that the main window has an Extensions menu.
using AddExtensionsMainMenuFunction = bool (*)();

// Registered under "hookcustommenu": called for each of the host's menus, by name ("Main
// extensions" for the main window's Extensions menu), with flag 0 when the menu is built and 1
// just before it is shown. The host runs a chosen item's identifier as a command.
using HookCustomMenuFunction = void (*)(const char* menuName, HMENU menu, int flag);

// Registered under "hookcommand"; the host reads a one-byte boolean result.
using HookCommandFunction = bool (*)(int command, int flag);

// Registered under "toggleaction": 1 for a command of ours that is on, 0 for one that is off, -1
// for any command that isn't ours. The host asks whenever it draws a toolbar button or menu item.
using ToggleActionFunction = int (*)(int command);

// Registered under "gaccel": an action with its default key (none here) and its description.
// The host keeps the address, so the record must live as long as the registration.
struct AccelRegistration {
    ACCEL accel;
    const char* description;
};

static_assert(offsetof(AccelRegistration, description) == 8, "ACCEL, then the text pointer");

// Registered under "accelerator": the host offers each keyboard message to `translateAccel`
// before its own shortcuts. The host keeps the address, and passes the record back as `ctx`.
struct AcceleratorRegistration {
    int (*translateAccel)(MSG* msg, AcceleratorRegistration* ctx);
    bool isLocal;  // must be true
    void* user;
};

// What translateAccel answers.
enum AcceleratorResult : int {
    ACCEL_NOT_OURS = 0,    // not our window: the host goes on as usual
    ACCEL_EATEN = 1,       // handled: the host does nothing more with it
    ACCEL_PLAIN_KEY = -1,  // goes to its window as a plain keystroke, without host shortcuts
    ACCEL_TO_HOST = -666,  // goes to the host's shortcuts (not Escape, not from a text field)
    ACCEL_TO_HOST_EVEN_FROM_TEXT = -667,  // the same, even from a text field
};

extern "C" int ReaperPluginEntry(HINSTANCE instance, HostInfo* info);
