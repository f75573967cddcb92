// The settings in the host's configuration file, section "ruvenkal", one key per setting.
#pragma once

// Start-up step: asks the host for its configuration file, if it offers get_ini_file, and loads
// the settings from it. Without a file the settings keep their defaults and are never saved.
void OpenSettingsStore();

// Both do nothing without a configuration file. A missing key, or a value without a usable
// number, leaves that setting as it was. Settings added after the first release are saved only
// while they differ from their defaults, and removed from the file otherwise.
void LoadSettings();
void SaveSettings();
