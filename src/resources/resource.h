// Identifiers of the module's resources, shared by the resource script and the code.
#pragma once

#define IDD_CONFIG 101
#define IDC_SCALE 1000
#define IDC_UPPER 1001
#define IDC_LOWER 1002
#define IDC_FOCUS 1003
#define IDC_LOCK 1004
#define IDC_ENABLED 1005
#define IDC_MODIFIER 1006
#define IDC_VERSION 1007
#define IDC_THRESHOLD 1008
