// Every stored setting, described once: its key in the section "ruvenkal", the field it fills,
// its text form and the values it may take. Loading, saving and the dialog all go through here.
#pragma once

#include <cstddef>

#include "settings/zoom_settings.h"

// In the order the keys are read and written.
enum SettingId : int {
    SETTING_SCALE,
    SETTING_MASK,
    SETTING_FOCUS,
    SETTING_LOCK,
    SETTING_ENABLED,
    SETTING_MODIFIER,
    SETTING_THRESHOLD,
    SETTING_COUNT,
};

struct SettingKey {
    const char* key;
    float ZoomSettings::*scaleField;  // written as "%f"; null for the "%d" settings
    int ZoomSettings::*integerField;  // written as "%d"; null for the "%f" one
    int minimum, maximum;             // the values a "%d" setting takes; others are ignored
    // False: left out of the file while at its default (kDefaultZoomSettings), so that a file
    // from before the setting existed reads, and is saved, exactly as it was.
    bool savedAtDefault;
};

extern const SettingKey kSettingKeys[SETTING_COUNT];

// The setting stored under `key`, compared exactly as the file's keys are written. False for any
// other key.
bool FindSetting(const char* key, SettingId* id);

// Reads `text` into the setting's field. False, leaving the field as it was, when the text holds
// no number, no finite one, or one outside the setting's range.
bool ReadSetting(SettingId id, const char* text, ZoomSettings* settings);

// The field as text, cut to fit `size` bytes with the terminator.
void WriteSetting(SettingId id, const ZoomSettings& settings, char* buffer, std::size_t size);

// Whether every stored setting has the same value in both.
bool SameSettings(const ZoomSettings& a, const ZoomSettings& b);

// Whether the setting belongs in the file, given the values about to be saved.
bool SettingIsSaved(SettingId id, const ZoomSettings& settings);
