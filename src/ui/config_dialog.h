// The modeless "Ruvenkal config" dialog: created on first use, then only hidden and shown.
// Closing it in any way applies the values and saves them.
#pragma once

#include <windows.h>

// Creates the dialog, hidden, centred over the host's main window. Null if creation failed.
HWND CreateConfigDialog();

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
