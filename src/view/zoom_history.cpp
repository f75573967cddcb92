#include "view/zoom_history.h"

#include <cstring>

#include "host/module_state.h"

namespace {

struct ArrangeView {
    double start;
    double end;
};

// Users of the host ask for some 20 views; a few more cost nothing.
constexpr int kHistoryLength = 32;

// Oldest first; the newest is on top.
struct ViewStack {
    ArrangeView views[kHistoryLength];
    int count;
};

struct ZoomHistory {
    ViewStack undo;
    ViewStack redo;
    ReaProject* project;  // the one both stacks belong to
    ArrangeView beforeDrag;
    ReaProject* beforeDragProject;  // whose view beforeDrag is
};

ZoomHistory history;

void Push(ViewStack* stack, const ArrangeView& view) {
    if (stack->count == kHistoryLength) {
        std::memmove(&stack->views[0], &stack->views[1],
                     sizeof(ArrangeView) * (kHistoryLength - 1));
        --stack->count;
    }
    stack->views[stack->count++] = view;
}

// Never any project but the current one: a pointer kept from before may be a closed project's.
// Without EnumProjects, null stands for the current project.
ReaProject* CurrentProject() {
    EnumProjectsFunction enumProjects = moduleState.hostApi.EnumProjects;
    return enumProjects != nullptr ? enumProjects(-1, nullptr, 0) : nullptr;
}

ArrangeView ReadView() {
    ArrangeView view = {0, 0};
    moduleState.hostApi.GetSet_ArrangeView2(CurrentProject(), false, 0, 0, &view.start, &view.end);
    return view;
}

void SetView(ArrangeView view) {
    moduleState.hostApi.GetSet_ArrangeView2(CurrentProject(), true, 0, 0, &view.start, &view.end);
}

// Each project has its own views: a history from another one would jump to times of that one.
void FollowCurrentProject() {
    ReaProject* current = CurrentProject();
    if (current != history.project) {
        history.undo.count = 0;
        history.redo.count = 0;
        history.project = current;
    }
}

// In the current project's history, dropping another project's first.
bool CanStep(const ViewStack& from) {
    if (!ZoomHistoryAvailable()) {
        return false;
    }
    FollowCurrentProject();
    return from.count > 0;
}

// Sets the newest view of `from`, and keeps the one it replaces on `to`.
void Step(ViewStack* from, ViewStack* to) {
    if (CanStep(*from)) {
        Push(to, ReadView());
        SetView(from->views[--from->count]);
    }
}

// A view read in a project that is no longer the current one belongs to no history here.
bool RememberedViewIsCurrent() {
    return ZoomHistoryAvailable() && CurrentProject() == history.beforeDragProject;
}

}  // namespace

bool ZoomHistoryAvailable() {
    return moduleState.hostApi.GetSet_ArrangeView2 != nullptr;
}

void RememberViewBeforeZoom() {
    if (ZoomHistoryAvailable()) {
        history.beforeDragProject = CurrentProject();
        history.beforeDrag = ReadView();
    }
}

void RecordRememberedView() {
    if (!RememberedViewIsCurrent()) {
        return;
    }
    FollowCurrentProject();
    Push(&history.undo, history.beforeDrag);
    history.redo.count = 0;
}

void RestoreRememberedView() {
    if (RememberedViewIsCurrent()) {
        SetView(history.beforeDrag);
    }
}

void UndoZoomDrag() {
    Step(&history.undo, &history.redo);
}

void RedoZoomDrag() {
    Step(&history.redo, &history.undo);
}

bool CanUndoZoomDrag() {
    return CanStep(history.undo);
}

bool CanRedoZoomDrag() {
    return CanStep(history.redo);
}

void ForgetZoomHistory() {
    history = ZoomHistory();
}
