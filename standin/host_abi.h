// The extension interface as the host publishes it, declared on the host's side independently
// of the module's own header, so that a layout mistake on either side shows in the tests.
#pragma once

#include <windows.h>

namespace standin {

constexpr int kInterfaceVersion = 0x20E;

struct PluginInfo {
    int callerVersion;
    HWND mainWindow;
    int (*registerItem)(const char* key, void* item);
    void* (*lookupFunction)(const char* name);
};

struct ReaProject;
struct ProjectStateContext;

// Registered under "projectconfig": the host calls these as it loads, saves and undoes projects.
struct ProjectConfigExtension {
    bool (*ProcessExtensionLine)(const char* line, ProjectStateContext* ctx, bool isUndo,
                                 ProjectConfigExtension* reg);
    void (*SaveExtensionConfig)(ProjectStateContext* ctx, bool isUndo, ProjectConfigExtension* reg);
    void (*BeginLoadProjectState)(bool isUndo, ProjectConfigExtension* reg);
    void* userData;
};

using PluginEntry = int (*)(HINSTANCE instance, PluginInfo* info);
using HookCommand = bool (*)(int command, int flag);
using ToggleAction = int (*)(int command);
using HookCustomMenu = void (*)(const char* menuName, HMENU menu, int flag);

// A place in the host's keyboard queue, registered under "accelerator".
struct AcceleratorRegister {
    int (*translateAccel)(MSG* msg, AcceleratorRegister* ctx);
    bool isLocal;
    void* user;
};

// What the host reads from a "gaccel" registration.
struct AccelRegister {
    ACCEL accel;
    const char* description;
};

}  // namespace standin
