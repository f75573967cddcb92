#include "view/project_load.h"

#include "host/module_state.h"
#include "view/zoom_history.h"

namespace {

// Nothing of this module is kept in project files.
bool ProcessExtensionLine(const char*, ProjectStateContext*, bool, ProjectConfigExtension*) {
    return false;
}

void SaveExtensionConfig(ProjectStateContext*, bool, ProjectConfigExtension*) {}

// The host's own undo restores a state of the same project: its views stay takeable back.
void BeginLoadProjectState(bool isUndo, ProjectConfigExtension*) {
    if (isUndo) {
        return;
    }
    // The host names the project only "if in load/save": on a new project it may answer null,
    // and the project being replaced is then the current one.
    GetCurrentProjectInLoadSaveFunction loading = moduleState.hostApi.GetCurrentProjectInLoadSave;
    ReaProject* project = loading != nullptr ? loading() : nullptr;
    ForgetProjectZoomHistory(project != nullptr ? project : CurrentProject());
}

// The host keeps this record's address for as long as it is registered.
ProjectConfigExtension projectLoad = {&ProcessExtensionLine, &SaveExtensionConfig,
                                      &BeginLoadProjectState, nullptr};

}  // namespace

void RegisterProjectLoad(RegisterItemFunction registerItem) {
    if (ZoomHistoryAvailable()) {
        registerItem("projectconfig", &projectLoad);
    }
}

void UnregisterProjectLoad(RegisterItemFunction registerItem) {
    if (ZoomHistoryAvailable()) {
        registerItem("-projectconfig", &projectLoad);
    }
}
