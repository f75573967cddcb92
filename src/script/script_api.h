// Ruvenkal_GetSetting and Ruvenkal_SetSetting: every setting, read and written by its key and
// its text in the configuration file, for ReaScript and for other extensions.
#pragma once

#include "host/reaper_host.h"

// Writes the setting's text, as the configuration file holds it, into `valueOut`. False, with
// nothing written, for a null key or buffer or a size below 1; false, with an empty text, for an
// unknown key or a buffer too small for the text and its terminator.
bool Ruvenkal_GetSetting(const char* key, char* valueOut, int valueOut_sz);

// Reads `value` as the configuration file's text of that key is read, and on success applies
// and saves it, as closing the dialog does. False, with nothing changed, for a null argument, an
// unknown key or a value the key doesn't take.
bool Ruvenkal_SetSetting(const char* key, const char* value);

// Start-up step, after the other registrations: each function, its description and the wrapper
// ReaScript calls. Their results are not examined.
void RegisterScriptApi(RegisterItemFunction registerItem);

void UnregisterScriptApi(RegisterItemFunction registerItem);
