// The arrange views that zoom drags replaced, so that a zoom can be taken back: Escape during a
// drag puts its view back, and Undo and Redo walk through the views of finished drags. The host's
// own undo doesn't record view changes. Each open project has a history of its own. Needs the
// host's GetSet_ArrangeView2; without it, all of this does nothing.
#pragma once

#include "host/reaper_host.h"

// Whether the host offers what taking a zoom back needs.
bool ZoomHistoryAvailable();

// Called once per drag, just before its first zoom: reads the view the drag is about to change.
void RememberViewBeforeZoom();

// A drag that zoomed has ended: its view before the zoom becomes the newest to undo in its
// project, the oldest beyond the last 32 is dropped, and nothing is left to redo there. A drag
// whose view came back to within half a pixel of where it was records nothing and keeps Redo.
void RecordRememberedView();

// A drag that zoomed was cancelled: sets the view back, exactly as it was read, and records
// nothing.
void RestoreRememberedView();

// In the current project; each does nothing when there is nothing to undo or redo.
void UndoZoomDrag();
void RedoZoomDrag();

// For the menu's grey states: in the current project, changing no history.
bool CanUndoZoomDrag();
bool CanRedoZoomDrag();

// A new project, or another one loaded in its place: `project`'s history is dropped, and so is
// a view remembered for a drag in it.
void ForgetProjectZoomHistory(ReaProject* project);

// The current project, as the host names it: null without EnumProjects.
ReaProject* CurrentProject();

void ForgetZoomHistory();
