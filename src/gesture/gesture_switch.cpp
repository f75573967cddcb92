#include "gesture/gesture_switch.h"

#include "gesture/drag_gesture.h"
#include "host/module_state.h"
#include "settings/zoom_settings.h"

namespace {

void RefreshToggleButtons() {
    if (moduleState.hostApi.RefreshToolbar2 != nullptr && moduleState.toggleCommandId != 0) {
        moduleState.hostApi.RefreshToolbar2(0, moduleState.toggleCommandId);
    }
}

}  // namespace

void SwitchZoomDrag(int enabled) {
    if (enabled == zoomSettings.enabled) {
        return;
    }
    zoomSettings.enabled = enabled;
    if (enabled == 0) {
        EndDrag();
    }
    RefreshToggleButtons();
}
