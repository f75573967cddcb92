// The module's place in the host's keyboard queue, which sees every key before the host's own
// shortcuts: Escape cancels a zoom drag, and the configuration dialog gets its keys.
#pragma once

#include "host/reaper_host.h"

// Start-up step, after the other registrations.
void RegisterKeyboard(RegisterItemFunction registerItem);

void UnregisterKeyboard(RegisterItemFunction registerItem);

// Registered under "accelerator".
int TranslateKeys(MSG* msg, AcceleratorRegistration* ctx);
