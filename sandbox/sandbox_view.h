// Drawing for the sandbox: the time display, drawn as the host's ruler, and the timeline below it,
// whose zoom follows the extension's adjustZoom calls.
#pragma once

#include <windows.h>

struct SandboxView {
    long long zoomCalls;
    // The last press on the time display: the keys held, and the zoom calls before it, so that
    // the status line can tell whether that drag zooms.
    bool pressed;
    char pressKeys[32];
    long long zoomCallsAtPress;
    long long plays;  // times the host's space bar shortcut ran
    // Project markers in the ruler's upper part, which a drag that starts on one moves sideways,
    // as the host's marker lane does.
    double markerSeconds[3];
};

constexpr int kMarkerCount = 3;

// The marker whose flag is at client (x, y) of the time display, or -1.
int MarkerAt(HWND timeDisplay, int x, int y);
// A marker's client x on the time display.
int MarkerX(int marker);

extern SandboxView sandboxView;

void PaintTimeDisplay(HWND timeDisplay);
// Paints the main window's client area below `top`.
void PaintTimeline(HWND mainWindow, int top);
