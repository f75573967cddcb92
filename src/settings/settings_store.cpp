#include "settings/settings_store.h"

#include <windows.h>

#include "host/module_state.h"
#include "settings/settings_text.h"
#include "settings/zoom_settings.h"

namespace {

const char kSection[] = "ruvenkal";
const char kScaleKey[] = "scale";
const char kMaskKey[] = "mask";

void ReadValue(const char* key) {
    GetPrivateProfileStringA(kSection, key, "", textBuffer, kTextBufferSize, moduleState.iniPath);
}

void WriteValue(const char* key) {
    WritePrivateProfileStringA(kSection, key, textBuffer, moduleState.iniPath);
}

}  // namespace

void OpenSettingsStore() {
    if (moduleState.hostApi.get_ini_file == nullptr) {
        return;
    }
    moduleState.iniPath = moduleState.hostApi.get_ini_file();
    LoadSettings();
}

void LoadSettings() {
    if (moduleState.iniPath == nullptr) {
        return;
    }
    ReadValue(kScaleKey);
    ParseScale(textBuffer, &zoomSettings.scale);
    ReadValue(kMaskKey);
    ParseMask(textBuffer, &zoomSettings.mask);
}

void SaveSettings() {
    if (moduleState.iniPath == nullptr) {
        return;
    }
    FormatScale(zoomSettings.scale, textBuffer, kTextBufferSize);
    WriteValue(kScaleKey);
    FormatMask(zoomSettings.mask, textBuffer, kTextBufferSize);
    WriteValue(kMaskKey);
}
