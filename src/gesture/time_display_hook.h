// The hook on the host's time display. Every message goes on to the time display's own procedure;
// mouse moves of a lower-half drag go with their position pinned to one axis.
#pragma once

#include <windows.h>

LRESULT CALLBACK TimeDisplayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void InstallTimeDisplayHook(HWND timeDisplay);

// Puts the time display's own procedure back. If another module has subclassed the window after
// us, the hook has to stay, and so does this module.
void RemoveTimeDisplayHook();
