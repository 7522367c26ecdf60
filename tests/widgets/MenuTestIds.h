#pragma once

// Resources of the menu tests: a menu template with nested popups and a glyph strip whose
// toolbar maps commands to its images.
#define IDM_TEST_MENU 300
#define IDB_TEST_GLYPHS 301
#define ID_OPEN 401
#define ID_FIRST 402
#define ID_SECOND 403
#define ID_ABOUT 404
#define ID_RED 411
#define ID_BLUE 412
#define ID_FRAMED 413
