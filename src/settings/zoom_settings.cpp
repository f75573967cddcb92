#include "settings/zoom_settings.h"

ZoomSettings zoomSettings = kDefaultZoomSettings;
char textBuffer[kTextBufferSize];
