#include "dialog/dialog_placement.h"

namespace {

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

// Where the main window is, or will be once restored: a minimised one sits near (-32000, -32000).
// Workspace coordinates start at the work area's corner, which a taskbar at the top or left of
// the monitor moves away from the monitor's.
RECT RestoredPlace(const MainWindowPlace& main, const MonitorPlace& monitor) {
    if (!main.minimised) {
        return main.window;
    }
    if (main.restoresMaximised) {
        return monitor.work;
    }
    RECT place = main.normalPosition;
    OffsetRect(&place, monitor.work.left - monitor.monitor.left,
               monitor.work.top - monitor.monitor.top);
    return place;
}

// `start` moved so that `length` fits between `low` and `high`; at `low` if it can't.
int Within(int start, int length, int low, int high) {
    if (start + length > high) {
        start = high - length;
    }
    return start < low ? low : start;
}

}  // namespace

POINT DialogPosition(int width, int height, const MainWindowPlace& main,
                     const MonitorPlace& monitor) {
    const RECT over = RestoredPlace(main, monitor);
    const RECT& work = monitor.work;
    return {Within(over.left + (Width(over) - width) / 2, width, work.left, work.right),
            Within(over.top + (Height(over) - height) / 2, height, work.top, work.bottom)};
}
