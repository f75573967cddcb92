// The modeless "Ruvenkal config" dialog: created on first use, then only hidden and shown.
// Closing it in any way applies the values and saves them.
#pragma once

#include <windows.h>

#include "settings/setting_keys.h"

// Shows the dialog, creating it first if there is none yet.
void ShowConfigDialog();

// Creates the dialog, hidden, centred over the host's main window. Null if creation failed.
HWND CreateConfigDialog();

// Destroys the dialog, if there is one, before the module is unloaded.
void DestroyConfigDialog();

// Shows one setting's current value in the dialog, if there is one. For settings changed from
// outside while the dialog may be open: closing it applies what it shows, and must not undo them.
void ShowSettingInConfigDialog(SettingId id);

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
