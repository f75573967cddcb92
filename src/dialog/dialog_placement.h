// Where the configuration dialog opens: centred over the host's main window, or over where it
// will be restored while it is minimised, and wholly on the work area of its monitor. Plain
// arithmetic on the rectangles the system gives, so that it can be checked with any of them.
#pragma once

#include <windows.h>

struct MainWindowPlace {
    RECT window;  // as GetWindowRect gives it
    bool minimised;
    // While minimised, from GetWindowPlacement: rcNormalPosition, in workspace coordinates, and
    // whether the window restores maximised.
    RECT normalPosition;
    bool restoresMaximised;
};

// The main window's monitor, from GetMonitorInfo.
struct MonitorPlace {
    RECT monitor;
    RECT work;
};

// The dialog's top-left corner in screen coordinates, for a dialog of `width` × `height`.
POINT DialogPosition(int width, int height, const MainWindowPlace& main,
                     const MonitorPlace& monitor);
