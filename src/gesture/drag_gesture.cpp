#include "gesture/drag_gesture.h"

#include "host/module_state.h"
#include "settings/zoom_settings.h"
#include "view/zoom_history.h"

DragState dragState;

namespace {

// Client coordinates, sign-extended from 16 bits: left of or above the window is negative.
int PositionX(LPARAM position) {
    return static_cast<short>(LOWORD(position));
}
int PositionY(LPARAM position) {
    return static_cast<short>(HIWORD(position));
}

LPARAM MakePosition(int x, int y) {
    return static_cast<LPARAM>(
        static_cast<DWORD>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y))));
}

int Distance(int from, int to) {
    return to > from ? to - from : from - to;
}

// With a lock distance, a lower-half drag keeps its axis open until the pointer is that far from
// the press along either axis, so that the first pixel's jitter can't decide it. Returns false
// while undecided; on deciding vertically, `dy` becomes the whole movement since the press, which
// no earlier move has zoomed.
bool DecideAxisAtDistance(int x, int y, int* dy) {
    const int alongX = Distance(dragState.startX, x);
    const int alongY = Distance(dragState.startY, y);
    if (alongX < dragState.lockDistance && alongY < dragState.lockDistance) {
        return false;
    }
    dragState.axis = alongX >= alongY ? AXIS_HORIZONTAL : AXIS_VERTICAL;
    *dy = y - dragState.startY;
    return true;
}

// The part of a vertical distance `d` from the press that lies beyond the upper half's band.
int BeyondBand(int d) {
    const int band = dragState.threshold;
    if (d > band) {
        return d - band;
    }
    return d < -band ? d + band : 0;
}

// In the upper half a band around the press keeps a marker's or region's sideways drag from
// zooming with every pixel of jitter: only movement beyond it zooms, so a return to the press
// adds up to no zoom at all.
int UpperHalfZoomPixels(int previousY, int y) {
    return BeyondBand(y - dragState.startY) - BeyondBand(previousY - dragState.startY);
}

// Shift, Ctrl and Alt as bits, for comparing what is held with what the setting asks for.
constexpr int kShift = 1;
constexpr int kCtrl = 2;
constexpr int kAlt = 4;

// What each ModifierKeys value asks for, by index; MODIFIER_ANY asks for nothing in particular.
const int kRequiredKeys[] = {0, 0, kShift, kCtrl, kAlt};

// Judged once, at the press. A mouse message carries Shift and Ctrl but not Alt, which the
// thread's key state still holds while the press is handled.
bool KeysAllowZoom(WPARAM keys) {
    const int modifier = zoomSettings.modifier;
    if (modifier <= MODIFIER_ANY || modifier > MODIFIER_ALT) {
        return true;
    }
    const int held = ((keys & MK_SHIFT) != 0 ? kShift : 0) |
                     ((keys & MK_CONTROL) != 0 ? kCtrl : 0) | (GetKeyState(VK_MENU) < 0 ? kAlt : 0);
    return held == kRequiredKeys[modifier];
}

}  // namespace

void BeginDrag(HWND timeDisplay, WPARAM keys, LPARAM position) {
    // A press without a button-up before it: the drag before still counts.
    EndDrag();
    dragState.startX = PositionX(position);
    dragState.startY = PositionY(position);

    RECT outer = {};
    GetWindowRect(timeDisplay, &outer);
    const int height = outer.bottom - outer.top;

    dragState.axis = AXIS_UNDECIDED;
    dragState.area = 2 * dragState.startY > height + 1 ? LOWER : UPPER;
    dragState.active = zoomSettings.enabled != 0 && (dragState.area & zoomSettings.mask) != 0 &&
                       KeysAllowZoom(keys);
    dragState.cancelled = false;
    dragState.lastX = dragState.startX;
    dragState.lastY = dragState.startY;
    dragState.lockDistance = zoomSettings.lockDistance;
    dragState.threshold = zoomSettings.threshold;
}

LPARAM TrackDragMove(LPARAM position) {
    const int x = PositionX(position);
    const int y = PositionY(position);
    const int dx = x - dragState.lastX;
    const int previousY = dragState.lastY;
    int dy = y - previousY;
    dragState.lastX = x;
    dragState.lastY = y;

    if (dragState.axis == AXIS_UNDECIDED && dragState.area == LOWER && dragState.lockDistance > 0 &&
        !DecideAxisAtDistance(x, y, &dy)) {
        // Undecided: the time display sees the pointer stay where it was pressed.
        return MakePosition(dragState.startX, dragState.startY);
    }
    // A repeated position neither decides the axis nor gets pinned.
    if (dx == 0 && dy == 0) {
        return position;
    }
    if (dragState.axis == AXIS_UNDECIDED) {
        dragState.axis = dx != 0 ? AXIS_HORIZONTAL : AXIS_VERTICAL;
    }

    LPARAM forwarded = position;
    if (dragState.area == UPPER) {
        dy = UpperHalfZoomPixels(previousY, y);
    } else if (dragState.axis == AXIS_HORIZONTAL) {
        dy = 0;
        forwarded = MakePosition(x, dragState.startY);
    } else {
        forwarded = MakePosition(dragState.startX, y);
    }

    if (dy != 0 && !dragState.cancelled) {
        if (!dragState.zoomed) {
            dragState.zoomed = true;
            RememberViewBeforeZoom();
        }
        // A float (24 bits) times a difference of at most 17 bits is exact in a double.
        const double amount = static_cast<double>(zoomSettings.scale) * dy;
        moduleState.hostApi.adjustZoom(amount, 0, 0, zoomSettings.adjustMode);
    }
    return forwarded;
}

void EndDrag() {
    dragState.active = false;
    dragState.cancelled = false;
    if (dragState.zoomed) {
        dragState.zoomed = false;
        RecordRememberedView();
    }
}

void CancelDrag() {
    if (!dragState.active || !ZoomHistoryAvailable()) {
        return;
    }
    dragState.cancelled = true;
    if (dragState.zoomed) {
        dragState.zoomed = false;
        RestoreRememberedView();
    }
}

void ForgetDrag() {
    dragState = DragState();
}
