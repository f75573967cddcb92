// The modeless "Ruvenkal config" dialog: created on first use, then only hidden and shown.
// Closing it in any way applies the values and saves them.
#pragma once

#include <windows.h>

// Shows the dialog, creating it first if there is none yet.
void ShowConfigDialog();

// Creates the dialog, hidden, centred over the host's main window. Null if creation failed.
HWND CreateConfigDialog();

// Destroys the dialog, if there is one, before the module is unloaded.
void DestroyConfigDialog();

// Sets the dialog's on/off box from the settings, if there is a dialog: the only field that
// changes from outside while the dialog may be open.
void ShowEnabledInConfigDialog();

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
