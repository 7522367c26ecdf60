#pragma once

// The menu demo's resources and controls.
#define IDM_DEMO 200
#define IDR_TOOLBAR 201
#define IDC_TOOLS 100
#define IDC_COMMANDS 101
#define IDC_CALLBACKS 102
#define ID_RED 501
#define ID_GREEN 502
#define ID_BLUE 503
#define ID_DISABLED 504
#define ID_PLAIN 505
