// The dialog's keys inside the host. The host's message loop doesn't hand keystrokes to
// IsDialogMessage for an extension's modeless dialog, and runs its own shortcuts on any key no one
// claims: without this, Enter, Escape and Tab do nothing in the dialog, and a space typed into a
// field starts playback. Keys the dialog has no use for, the F-keys and Ctrl shortcuts, still
// reach the host's actions, as in the host's own windows.
#pragma once

#include <windows.h>

// What the host's keyboard queue is answered for `msg`: not ours unless it is for the shown
// dialog or one of its controls.
int TranslateDialogKeys(const MSG& msg);
