#include "view/zoom_history.h"

#include <cmath>
#include <cstring>

#include "host/module_state.h"

namespace {

struct ArrangeView {
    double start;
    double end;
};

// Users of the host ask for some 20 views; a few more cost nothing.
constexpr int kHistoryLength = 32;
// Projects whose histories are kept; beyond that, the least recently used one goes.
constexpr int kProjectHistories = 32;

// Oldest first; the newest is on top.
struct ViewStack {
    ArrangeView views[kHistoryLength];
    int count;
};

struct ProjectHistory {
    ReaProject* project;
    bool inUse;
    unsigned lastUse;  // larger is more recent
    ViewStack undo;
    ViewStack redo;
};

struct ZoomHistory {
    ProjectHistory projects[kProjectHistories];
    unsigned useClock;
    bool remembered;  // beforeDrag holds a view to record or restore
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

ArrangeView ReadView(ReaProject* project) {
    ArrangeView view = {0, 0};
    moduleState.hostApi.GetSet_ArrangeView2(project, false, 0, 0, &view.start, &view.end);
    return view;
}

void SetView(ReaProject* project, ArrangeView view) {
    moduleState.hostApi.GetSet_ArrangeView2(project, true, 0, 0, &view.start, &view.end);
}

bool IsOpen(ReaProject* project) {
    EnumProjectsFunction enumProjects = moduleState.hostApi.EnumProjects;
    if (enumProjects == nullptr) {
        return true;
    }
    for (int index = 0;; ++index) {
        ReaProject* open = enumProjects(index, nullptr, 0);
        if (open == nullptr) {
            return false;
        }
        if (open == project) {
            return true;
        }
    }
}

// A closed project's pointer may come back for another project, which must not find its views.
void DropClosedProjects() {
    for (ProjectHistory& entry : history.projects) {
        if (entry.inUse && !IsOpen(entry.project)) {
            entry = ProjectHistory();
        }
    }
}

ProjectHistory* Find(ReaProject* project) {
    for (ProjectHistory& entry : history.projects) {
        if (entry.inUse && entry.project == project) {
            return &entry;
        }
    }
    return nullptr;
}

// The project's history for a change, made if it has none: in a free place, or in that of the
// least recently used project.
ProjectHistory* HistoryToChange(ReaProject* project) {
    DropClosedProjects();
    ProjectHistory* entry = Find(project);
    if (entry == nullptr) {
        entry = &history.projects[0];
        for (ProjectHistory& candidate : history.projects) {
            if (!candidate.inUse) {
                entry = &candidate;
                break;
            }
            entry = candidate.lastUse < entry->lastUse ? &candidate : entry;
        }
        *entry = ProjectHistory();
        entry->project = project;
        entry->inUse = true;
    }
    entry->lastUse = ++history.useClock;
    return entry;
}

// Looking changes nothing: a project without a history has nothing to step to.
bool CanStep(ViewStack ProjectHistory::*from) {
    if (!ZoomHistoryAvailable()) {
        return false;
    }
    DropClosedProjects();
    const ProjectHistory* entry = Find(CurrentProject());
    return entry != nullptr && (entry->*from).count > 0;
}

// Sets the newest view of `from`, and keeps the one it replaces on `to`.
void Step(ViewStack ProjectHistory::*from, ViewStack ProjectHistory::*to) {
    if (!CanStep(from)) {
        return;
    }
    // CanStep dropped the closed projects and found the current one's history.
    ReaProject* project = CurrentProject();
    ProjectHistory* entry = Find(project);
    entry->lastUse = ++history.useClock;
    Push(&(entry->*to), ReadView(project));
    ViewStack& source = entry->*from;
    SetView(project, source.views[--source.count]);
}

// Whether `now` shows what `before` showed, to within half a pixel at either edge: a drag that
// zoomed away and came back changed nothing worth an undo step. A host that gives no usable zoom
// level leaves room only for an exact match.
bool SameViewOnScreen(const ArrangeView& before, const ArrangeView& now) {
    const double pixelsPerSecond = moduleState.hostApi.GetHZoomLevel();
    const double halfPixel =
        pixelsPerSecond > 0 && pixelsPerSecond < HUGE_VAL ? 0.5 / pixelsPerSecond : 0;
    return std::fabs(now.start - before.start) <= halfPixel &&
           std::fabs(now.end - before.end) <= halfPixel;
}

// A view read in a project that is no longer the current one belongs to no history here, and is
// set back only there.
bool RememberedViewIsCurrent() {
    return ZoomHistoryAvailable() && history.remembered &&
           CurrentProject() == history.beforeDragProject;
}

}  // namespace

bool ZoomHistoryAvailable() {
    return moduleState.hostApi.GetSet_ArrangeView2 != nullptr;
}

ReaProject* CurrentProject() {
    EnumProjectsFunction enumProjects = moduleState.hostApi.EnumProjects;
    return enumProjects != nullptr ? enumProjects(-1, nullptr, 0) : nullptr;
}

void RememberViewBeforeZoom() {
    if (ZoomHistoryAvailable()) {
        history.beforeDragProject = CurrentProject();
        history.beforeDrag = ReadView(history.beforeDragProject);
        history.remembered = true;
    }
}

void RecordRememberedView() {
    if (RememberedViewIsCurrent() &&
        !SameViewOnScreen(history.beforeDrag, ReadView(history.beforeDragProject))) {
        ProjectHistory* entry = HistoryToChange(history.beforeDragProject);
        Push(&entry->undo, history.beforeDrag);
        entry->redo.count = 0;
    }
    history.remembered = false;
}

void RestoreRememberedView() {
    if (RememberedViewIsCurrent()) {
        SetView(history.beforeDragProject, history.beforeDrag);
    }
    history.remembered = false;
}

void UndoZoomDrag() {
    Step(&ProjectHistory::undo, &ProjectHistory::redo);
}

void RedoZoomDrag() {
    Step(&ProjectHistory::redo, &ProjectHistory::undo);
}

bool CanUndoZoomDrag() {
    return CanStep(&ProjectHistory::undo);
}

bool CanRedoZoomDrag() {
    return CanStep(&ProjectHistory::redo);
}

void ForgetProjectZoomHistory(ReaProject* project) {
    ProjectHistory* entry = Find(project);
    if (entry != nullptr) {
        *entry = ProjectHistory();
    }
    if (history.remembered && history.beforeDragProject == project) {
        history.remembered = false;
    }
}

void ForgetZoomHistory() {
    history = ZoomHistory();
}
