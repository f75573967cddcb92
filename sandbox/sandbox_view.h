// Drawing for the sandbox: the time display strip and the timeline whose zoom follows the
// extension's adjustZoom calls.
#pragma once

#include <windows.h>

struct SandboxView {
    long long zoomCalls;
};

extern SandboxView sandboxView;

void PaintTimeDisplay(HWND timeDisplay);
// Paints the main window's client area below `top`.
void PaintTimeline(HWND mainWindow, int top);
