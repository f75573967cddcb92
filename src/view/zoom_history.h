// The arrange views that zoom drags replaced, so that a zoom can be taken back: Escape during a
// drag puts its view back, and Undo and Redo walk through the views of finished drags. The host's
// own undo doesn't record view changes. Needs the host's GetSet_ArrangeView2; without it, all of
// this does nothing.
#pragma once

// Whether the host offers what taking a zoom back needs.
bool ZoomHistoryAvailable();

// Called once per drag, just before its first zoom: reads the view the drag is about to change.
void RememberViewBeforeZoom();

// A drag that zoomed has ended: its view before the zoom becomes the newest to undo, the oldest
// beyond the last 32 is dropped, and nothing is left to redo.
void RecordRememberedView();

// A drag that zoomed was cancelled: sets the view back, exactly as it was read, and records
// nothing.
void RestoreRememberedView();

// Each does nothing when there is nothing to undo or redo.
void UndoZoomDrag();
void RedoZoomDrag();

// For the menu's grey state: in the current project, since another one's history is dropped.
bool CanUndoZoomDrag();
bool CanRedoZoomDrag();

void ForgetZoomHistory();
