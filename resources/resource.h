#pragma once

// Dialog templates
#define IDD_ABOUT 100
#define IDD_RECORDER 102
#define IDD_INPUT_HELP 144

// Strings, icons, bitmaps, cursors
#define IDS_ABOUTBOX 101
#define IDI_APP 103
#define IDI_RECORD 141
#define IDI_PAUSE 142
#define IDI_STOP 143
#define IDB_BACKGROUND 133
#define IDC_HAND_POINTER 140

// System menu command of the About item
#define IDM_ABOUTBOX 0x0010

// Main window controls
#define IDC_PLAY 1001
#define IDC_PAUSE 1002
#define IDC_STOP 1003
#define IDC_RECORD 1004
#define IDC_OUTPUT_FILE 1008
#define IDC_SOUND_CARD 1009
#define IDC_INPUT 1011
#define IDC_STATUS 1035
#define IDC_LEVEL 1038
#define IDC_BROWSE 1039
#define IDC_SOUND_CARD_LABEL 1040
#define IDC_HOMEPAGE 1046
#define IDC_ABOUT 1047
#define IDC_HELP_BUTTON 1048
#define IDC_INPUT_LABEL 1051
#define IDC_VOLUME_LABEL 1052
#define IDC_MAX_LABEL 1053
#define IDC_CAPTURE_TO_LABEL 1054
#define IDC_LEVEL_METER 1056

// About box
#define IDC_LINK_SITE 1049
#define IDC_LINK_CONTACT 1050

// Input guidance dialog
#define IDC_DONT_SHOW_AGAIN 1055

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
// The framework's Help command (F1 in the application's accelerator set).
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
