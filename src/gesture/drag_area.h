#pragma once

// The half of the time display in which a drag starts; each value is also its bit in
// ZoomSettings::mask.
enum DragArea : int { UPPER = 1, LOWER = 2 };
