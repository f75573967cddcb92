// Hears the host load projects: a new project, or another one opened in the same tab, keeps the
// tab's project pointer, and must not inherit the zoom history of the project it replaced.
#pragma once

#include "host/reaper_host.h"

// Start-up step; registers only where there is a zoom history to look after.
void RegisterProjectLoad(RegisterItemFunction registerItem);

void UnregisterProjectLoad(RegisterItemFunction registerItem);
