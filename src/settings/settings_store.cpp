#include "settings/settings_store.h"

#include <windows.h>

#include "host/module_state.h"
#include "settings/setting_keys.h"
#include "settings/zoom_settings.h"

namespace {

const char kSection[] = "ruvenkal";

// The host hands out its path in UTF-8, which the A profile functions would read in the ANSI
// code page: a path with non-ASCII letters (C:\Users\José\...) goes through the W functions.
// Null when the path is plain ASCII or not UTF-8 at all (an ANSI path from an older host).
constexpr int kWidePathSize = 32768;
wchar_t widePathBuffer[kWidePathSize];
const wchar_t* widePath;

bool HasNonAscii(const char* text) {
    for (; *text != '\0'; ++text) {
        if (static_cast<unsigned char>(*text) > 0x7F) {
            return true;
        }
    }
    return false;
}

void OpenWidePath(const char* path) {
    widePath = nullptr;
    if (path == nullptr || !HasNonAscii(path)) {
        return;
    }
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, widePathBuffer,
                            kWidePathSize) > 0) {
        widePath = widePathBuffer;
    }
}

// Section, keys and values are ASCII: widened and narrowed one character at a time.
constexpr int kWideNameSize = 16;
void Widen(const char* text, wchar_t* wide, int size) {
    int i = 0;
    for (; i + 1 < size && text[i] != '\0'; ++i) {
        wide[i] = static_cast<unsigned char>(text[i]);
    }
    wide[i] = L'\0';
}

struct WideEntry {
    wchar_t section[kWideNameSize];
    wchar_t key[kWideNameSize];
};

WideEntry WideEntryFor(const char* key) {
    WideEntry entry;
    Widen(kSection, entry.section, kWideNameSize);
    Widen(key, entry.key, kWideNameSize);
    return entry;
}

void ReadValue(const char* key) {
    if (widePath == nullptr) {
        GetPrivateProfileStringA(kSection, key, "", textBuffer, kTextBufferSize,
                                 moduleState.iniPath);
        return;
    }
    const WideEntry entry = WideEntryFor(key);
    wchar_t value[kTextBufferSize];
    GetPrivateProfileStringW(entry.section, entry.key, L"", value, kTextBufferSize, widePath);
    // Anything beyond ASCII can't be part of a number.
    for (std::size_t i = 0; i < kTextBufferSize; ++i) {
        textBuffer[i] = value[i] < 0x80 ? static_cast<char>(value[i]) : '?';
        if (value[i] == L'\0') {
            break;
        }
    }
}

// Writes textBuffer under `key`, or with `present` false removes the key.
void WriteValue(const char* key, bool present) {
    if (widePath == nullptr) {
        WritePrivateProfileStringA(kSection, key, present ? textBuffer : nullptr,
                                   moduleState.iniPath);
        return;
    }
    const WideEntry entry = WideEntryFor(key);
    wchar_t value[kTextBufferSize];
    Widen(textBuffer, value, kTextBufferSize);
    WritePrivateProfileStringW(entry.section, entry.key, present ? value : nullptr, widePath);
}

}  // namespace

void OpenSettingsStore() {
    if (moduleState.hostApi.get_ini_file == nullptr) {
        return;
    }
    moduleState.iniPath = moduleState.hostApi.get_ini_file();
    OpenWidePath(moduleState.iniPath);
    LoadSettings();
}

void LoadSettings() {
    if (moduleState.iniPath == nullptr) {
        return;
    }
    for (int id = 0; id < SETTING_COUNT; ++id) {
        ReadValue(kSettingKeys[id].key);
        ReadSetting(static_cast<SettingId>(id), textBuffer, &zoomSettings);
    }
}

void SaveSettings() {
    if (moduleState.iniPath == nullptr) {
        return;
    }
    for (int id = 0; id < SETTING_COUNT; ++id) {
        const SettingId setting = static_cast<SettingId>(id);
        WriteSetting(setting, zoomSettings, textBuffer, kTextBufferSize);
        WriteValue(kSettingKeys[id].key, SettingIsSaved(setting, zoomSettings));
    }
}
