// Resource and control ids of the options dialog and the small dialogs
// (Dialogs.rc).
#pragma once

#define IDD_ADD_TABLE 103
#define IDD_MANUAL_ADD_ITEM 109
#define IDD_OPTIONS 110
#define IDD_OPTIONS_NEW_PAGE 111
#define IDD_OPTIONS_SETTINGS 112
#define IDD_HIDE_DRIVE 141

// Options.
#define IDC_OPTIONS_TAB 1031
#define IDC_HEAD_TITLE 1032
#define IDC_HEAD_LINE 1033
#define IDC_FOOT 1034
#define IDC_FOOT_LINE 1035
#define IDC_OPEN_RECENT_FILE 1046
#define IDC_ADD_TIME 1047
#define IDC_ADD_SOURCE 1048

// Link name and address (1001 is also the name input's box, resource.h).
#define IDC_NAME 1001
#define IDC_ITEM_ADDRESS 1006

// Table parameters.
#define IDC_TABLE_NAME 1000
#define IDC_TABLE_WIDTH 1001
#define IDC_TABLE_COLUMNS 1002
#define IDC_TABLE_ROWS 1003
#define IDC_TABLE_ROW_HEIGHT 1004
#define IDC_TABLE_LAST_COLUMN 1005
#define IDC_TABLE_FIRST_COLUMN 1006
#define IDC_TABLE_COLLAPSE 1007
#define IDC_TABLE_LOWER_GROUP 1019
#define IDC_TABLE_MARKER 1020

// Drive hiding.
#define IDC_DRIVE_HIDE 1002
#define IDC_DRIVE_UNHIDE 1003
#define IDC_DRIVE_C 1021
#define IDC_DRIVE_D 1022
#define IDC_DRIVE_E 1023
#define IDC_DRIVE_F 1024
#define IDC_DRIVE_G 1030
#define IDC_DRIVE_H 1026
#define IDC_DRIVE_I 1029
#define IDC_DRIVE_J 1025
#define IDC_DRIVE_K 1027
#define IDC_DRIVE_L 1028
