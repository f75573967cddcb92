// The dialog's keys inside the host. The host's message loop doesn't hand keystrokes to
// IsDialogMessage for an extension's modeless dialog, and runs its own shortcuts on any key no one
// claims: without this, Enter, Escape and Tab do nothing in the dialog, and a space typed into a
// field starts playback.
#pragma once

#include "host/reaper_host.h"

// Start-up step, after the other registrations: claims a place in the host's keyboard queue.
void RegisterDialogKeys(RegisterItemFunction registerItem);

void UnregisterDialogKeys(RegisterItemFunction registerItem);

// Registered under "accelerator". Keys for the dialog or its controls, while it is shown, go to
// the dialog manager; keys for any other window are not ours.
int TranslateDialogKeys(MSG* msg, AcceleratorRegistration* ctx);
