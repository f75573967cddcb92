// The zoom drag on the time display: where it started, which axis it locked to, and the zoom calls
// its movement makes.
#pragma once

#include <windows.h>

#include "gesture/drag_area.h"

enum AxisLock : int { AXIS_UNDECIDED = 0, AXIS_HORIZONTAL = 1, AXIS_VERTICAL = 2 };

struct DragState {
    bool active;
    bool zoomed;     // the drag has called adjustZoom: its view before that can be taken back
    bool cancelled;  // Escape: still pinned as before, but zooming no more
    DragArea area;
    AxisLock axis;
    int startX, startY;
    int lastX, lastY;  // as delivered, never the pinned position
    // Taken at the press, so that a script or the dialog can't move them under the pointer: a
    // shrinking band would leave the drag's zooms unbalanced, a lock dropping to 0 would let the
    // time display see the pointer jump.
    int lockDistance;
    int threshold;
};

extern DragState dragState;

// Left button pressed at `position` on `timeDisplay`, with `keys` (the mouse message's wParam and
// lParam). The drag zooms only if the gesture is on, the half is enabled and the keys held match.
void BeginDrag(HWND timeDisplay, WPARAM keys, LPARAM position);

// Mouse moved to `position` during an active drag: zooms on vertical movement and returns the
// position to pass on to the time display, pinned to one axis in the lower half, or to the press
// while a lock distance keeps the lower half's axis undecided.
LPARAM TrackDragMove(LPARAM position);

// Ends the drag; one that zoomed leaves its view before the zoom to undo.
void EndDrag();

// Escape during a drag: it zooms no more until the next press, and one that zoomed puts the view
// back as it was before, leaving nothing to undo. Until the drag ends, the time display still
// gets its moves pinned as before, so that its own drag doesn't jump to the pointer. Does nothing
// without a zoom history.
void CancelDrag();

// Drops the drag without a word to the host, which is about to unload the module.
void ForgetDrag();
