// The dialog in the host's theme. The host's main window answers the colour messages with its
// theme's brush and colours; the dialog asks it for every control, as the host's own dialogs do.
#pragma once

#include <windows.h>

// The host main window's answer to a colour message: a brush, with the text and background
// colours set on the device context in `wParam`.
INT_PTR HostColours(UINT message, WPARAM wParam, LPARAM lParam);

// Check boxes, group boxes and drop-down lists drawn with a visual style take its colours, not
// the theme's: they lose the style. Edit fields keep theirs. Nothing changes where the system
// offers no visual styles.
void DropVisualStyles(HWND dialog);
