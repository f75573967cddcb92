// The user's settings, read by the gesture and edited by the dialog and the toggle action.
#pragma once

#include <cstddef>

// The point of the timeline that stays put while the gesture zooms: adjustZoom's last argument.
enum ZoomFocus : int {
    FOCUS_HOST_PREFERENCE = -1,
    FOCUS_EDIT_OR_PLAY_CURSOR = 0,
    FOCUS_EDIT_CURSOR = 1,
    FOCUS_VIEW_CENTRE = 2,
    FOCUS_MOUSE_POINTER = 3,
};

// The keys that must be held at the press for a drag to zoom; any other drag is the time
// display's own.
enum ModifierKeys : int {
    MODIFIER_ANY = 0,
    MODIFIER_NONE = 1,  // none of Shift, Ctrl and Alt
    MODIFIER_SHIFT = 2,
    MODIFIER_CTRL = 3,
    MODIFIER_ALT = 4,
};

struct ZoomSettings {
    float scale;       // zoom units per pixel of vertical movement
    int adjustMode;    // a ZoomFocus, the last argument of every adjustZoom call
    int mask;          // bit 0 enables the upper half of the time display, bit 1 the lower half
    int lockDistance;  // pixels from the press before a lower-half drag picks its axis; 0: at once
    int enabled;       // 1 on, 0 off: the time display then behaves as without the module
    int modifier;      // a ModifierKeys
    int threshold;     // pixels up or down from the press before an upper-half drag zooms
};

constexpr ZoomSettings kDefaultZoomSettings = {0.1f, FOCUS_HOST_PREFERENCE, 3, 0,
                                               1,    MODIFIER_ANY,          0};

extern ZoomSettings zoomSettings;

// Shared scratch space for turning settings into text and back. Every user writes it before
// reading it; it holds nothing from one call to the next.
constexpr std::size_t kTextBufferSize = 100;
extern char textBuffer[kTextBufferSize];
