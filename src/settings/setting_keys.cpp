#include "settings/setting_keys.h"

#include <climits>
#include <cstring>

#include "settings/settings_text.h"

const SettingKey kSettingKeys[SETTING_COUNT] = {
    {"scale", &ZoomSettings::scale, nullptr, 0, 0, true},
    {"mask", nullptr, &ZoomSettings::mask, INT_MIN, INT_MAX, true},
    {"focus", nullptr, &ZoomSettings::adjustMode, FOCUS_HOST_PREFERENCE, FOCUS_MOUSE_POINTER,
     false},
    {"lock", nullptr, &ZoomSettings::lockDistance, 0, 64, false},
    {"enabled", nullptr, &ZoomSettings::enabled, 0, 1, false},
    {"modifier", nullptr, &ZoomSettings::modifier, MODIFIER_ANY, MODIFIER_ALT, false},
    {"threshold", nullptr, &ZoomSettings::threshold, 0, 64, false},
};

bool FindSetting(const char* key, SettingId* id) {
    for (int i = 0; i < SETTING_COUNT; ++i) {
        if (std::strcmp(key, kSettingKeys[i].key) == 0) {
            *id = static_cast<SettingId>(i);
            return true;
        }
    }
    return false;
}

bool ReadSetting(SettingId id, const char* text, ZoomSettings* settings) {
    const SettingKey& setting = kSettingKeys[id];
    if (setting.scaleField != nullptr) {
        return ParseScale(text, &(settings->*setting.scaleField));
    }
    int value = 0;
    if (!ParseInteger(text, &value) || value < setting.minimum || value > setting.maximum) {
        return false;
    }
    settings->*setting.integerField = value;
    return true;
}

void WriteSetting(SettingId id, const ZoomSettings& settings, char* buffer, std::size_t size) {
    const SettingKey& setting = kSettingKeys[id];
    if (setting.scaleField != nullptr) {
        FormatScale(settings.*setting.scaleField, buffer, size);
    } else {
        FormatInteger(settings.*setting.integerField, buffer, size);
    }
}

bool SettingIsSaved(SettingId id, const ZoomSettings& settings) {
    const SettingKey& setting = kSettingKeys[id];
    if (setting.savedAtDefault) {
        return true;
    }
    if (setting.scaleField != nullptr) {
        return settings.*setting.scaleField != kDefaultZoomSettings.*setting.scaleField;
    }
    return settings.*setting.integerField != kDefaultZoomSettings.*setting.integerField;
}

bool SameSettings(const ZoomSettings& a, const ZoomSettings& b) {
    for (const SettingKey& setting : kSettingKeys) {
        const bool same = setting.scaleField != nullptr
                              ? a.*setting.scaleField == b.*setting.scaleField
                              : a.*setting.integerField == b.*setting.integerField;
        if (!same) {
            return false;
        }
    }
    return true;
}
