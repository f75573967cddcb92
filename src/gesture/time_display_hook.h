// The hook on the host's time display. Every message goes on to the time display's own procedure;
// mouse moves of a lower-half drag go with their position pinned to one axis.
#pragma once

#include <windows.h>

LRESULT CALLBACK TimeDisplayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether another copy of this module, loaded under another file name, has hooked the window.
bool TimeDisplayHookedByAnotherCopy(HWND timeDisplay);

// Hooks the window and marks it as hooked by this copy.
void InstallTimeDisplayHook(HWND timeDisplay);

// Puts the time display's own procedure back. If another module has subclassed the window after
// us, the hook has to stay, and so do this module and the mark.
void RemoveTimeDisplayHook();

// Drops every reference to the window, once it is being destroyed or is unhooked.
void ForgetTimeDisplay(HWND timeDisplay);
