#include "script/script_api.h"

#include <cstdint>

#include "host/module_state.h"
#include "settings/setting_keys.h"
#include "settings/settings_store.h"
#include "settings/zoom_settings.h"
#include "dialog/config_dialog.h"
#include "gesture/gesture_switch.h"

namespace {

// Return type, parameter types, parameter names and help, each ended by a NUL. A char* parameter
// named ...Out followed by its ..._sz is a buffer that ReaScript hands back as an extra result.
char getSettingDefinition[] =
    "bool\0const char*,char*,int\0key,valueOut,valueOut_sz\0"
    "Gets a Ruvenkal setting as the text its configuration file holds, such as 0.100000 for "
    "scale. Keys: scale, mask, focus, lock, enabled, modifier, threshold; false for any other. "
    "For the main thread only.";
char setSettingDefinition[] =
    "bool\0const char*,const char*\0key,value\0"
    "Sets, applies and saves a Ruvenkal setting from a text read as its configuration file's text "
    "of that key. Keys: scale, mask, focus, lock, enabled, modifier, threshold; false, changing "
    "nothing, for any other key or a value the key doesn't take. A value already in force is not "
    "saved again. For the main thread only.";

// ReaScript passes each argument as one pointer-sized item, an int as its value, and takes a
// bool result as 0 or 1.
void* BoolResult(bool result) {
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(result ? 1 : 0));
}

void* GetSettingVararg(void** arglist, int numparms) {
    if (arglist == nullptr || numparms < 3) {
        return BoolResult(false);
    }
    return BoolResult(
        Ruvenkal_GetSetting(static_cast<const char*>(arglist[0]), static_cast<char*>(arglist[1]),
                            static_cast<int>(reinterpret_cast<std::intptr_t>(arglist[2]))));
}

void* SetSettingVararg(void** arglist, int numparms) {
    if (arglist == nullptr || numparms < 2) {
        return BoolResult(false);
    }
    return BoolResult(Ruvenkal_SetSetting(static_cast<const char*>(arglist[0]),
                                          static_cast<const char*>(arglist[1])));
}

struct Export {
    const char* key;
    const char* removalKey;
    void* item;
};

template <typename Use>
void ForEachExport(Use use) {
    const Export exports[] = {
        {"API_Ruvenkal_GetSetting", "-API_Ruvenkal_GetSetting",
         reinterpret_cast<void*>(&Ruvenkal_GetSetting)},
        {"APIdef_Ruvenkal_GetSetting", "-APIdef_Ruvenkal_GetSetting", getSettingDefinition},
        {"APIvararg_Ruvenkal_GetSetting", "-APIvararg_Ruvenkal_GetSetting",
         reinterpret_cast<void*>(&GetSettingVararg)},
        {"API_Ruvenkal_SetSetting", "-API_Ruvenkal_SetSetting",
         reinterpret_cast<void*>(&Ruvenkal_SetSetting)},
        {"APIdef_Ruvenkal_SetSetting", "-APIdef_Ruvenkal_SetSetting", setSettingDefinition},
        {"APIvararg_Ruvenkal_SetSetting", "-APIvararg_Ruvenkal_SetSetting",
         reinterpret_cast<void*>(&SetSettingVararg)},
    };
    for (const Export& item : exports) {
        use(item);
    }
}

// The shared text buffer, the dialog, the toolbar and the configuration file are the main
// thread's: another extension's worker thread gets false, with nothing touched.
bool OnMainThread() {
    return GetCurrentThreadId() == moduleState.mainThreadId;
}

}  // namespace

bool Ruvenkal_GetSetting(const char* key, char* valueOut, int valueOut_sz) {
    if (!OnMainThread() || key == nullptr || valueOut == nullptr || valueOut_sz < 1) {
        return false;
    }
    valueOut[0] = '\0';
    SettingId id;
    if (!FindSetting(key, &id)) {
        return false;
    }
    WriteSetting(id, zoomSettings, textBuffer, kTextBufferSize);
    const int length = lstrlenA(textBuffer);
    if (length >= valueOut_sz) {
        return false;
    }
    CopyMemory(valueOut, textBuffer, static_cast<SIZE_T>(length) + 1);
    return true;
}

bool Ruvenkal_SetSetting(const char* key, const char* value) {
    SettingId id;
    if (!OnMainThread() || key == nullptr || value == nullptr || !FindSetting(key, &id)) {
        return false;
    }
    // Cut as the configuration file's value would be, so that both read alike.
    lstrcpynA(textBuffer, value, kTextBufferSize);
    ZoomSettings read = zoomSettings;
    if (!ReadSetting(id, textBuffer, &read)) {
        return false;
    }
    // A script may set the same value many times a second: the host's whole configuration file
    // is rewritten only for a change.
    if (SameSettings(read, zoomSettings)) {
        return true;
    }
    // Through the switch, so that off ends a drag and the toggle's buttons follow, as with the
    // toggle action.
    SwitchZoomDrag(read.enabled);
    zoomSettings = read;
    SaveSettings();
    ShowSettingInConfigDialog(id);
    return true;
}

void RegisterScriptApi(RegisterItemFunction registerItem) {
    ForEachExport([registerItem](const Export& item) { registerItem(item.key, item.item); });
}

void UnregisterScriptApi(RegisterItemFunction registerItem) {
    ForEachExport([registerItem](const Export& item) { registerItem(item.removalKey, item.item); });
}
