// The user's settings, read by the gesture and edited by the dialog.
#pragma once

#include <cstddef>

struct ZoomSettings {
    float scale;     // zoom units per pixel of vertical movement
    int adjustMode;  // fixed last argument of every adjustZoom call; never saved
    int mask;        // bit 0 enables the upper half of the time display, bit 1 the lower half
};

constexpr ZoomSettings kDefaultZoomSettings = {0.1f, -1, 3};

extern ZoomSettings zoomSettings;

// Shared scratch space for turning settings into text and back. Every user writes it before
// reading it; it holds nothing from one call to the next.
constexpr std::size_t kTextBufferSize = 100;
extern char textBuffer[kTextBufferSize];
