// The gesture's on/off switch, as the toggle action and the dialog's box both change it. Both go
// through here, so that either way ends a drag and updates the host's toolbar buttons alike.
#pragma once

// Sets ZoomSettings::enabled. Switching off ends a drag in progress; any change has the host
// redraw the toggle's toolbar buttons. Saving is left to the caller, which may change more first.
void SwitchZoomDrag(int enabled);
