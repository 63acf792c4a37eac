#pragma once
// Resource ids of velcore.dll, grouped by part.

// Key setup dialog
#define IDD_KEY_SETUP 102
#define IDC_KEY_LIST 1002
#define IDC_KEY_START 1003

#define IDS_KEY_ACTION 1
#define IDS_KEY_KEY 2
#define IDS_KEY_CODE 3
#define IDS_KEY_LEFT 4
#define IDS_KEY_RIGHT 5
#define IDS_KEY_UP 6
#define IDS_KEY_DOWN 7
#define IDS_KEY_PRESS 8
#define IDS_KEY_RELEASE 9
#define IDS_KEY_NOT_ASSIGNED 10
#define IDS_KEY_ENTER 11

// About dialog
#define IDD_ABOUT 103
#define IDC_ABOUT_ICON 1000
#define IDC_ABOUT_TEXT 1001
#define IDC_WEB_LINK 1010
#define IDC_MAIL_LINK 1011

// Scores dialog and publishing
#define IDD_SCORES 107
#define IDD_PUBLISH 108
#define IDC_PUBLISH_CODE 1004
#define IDC_SCORE_LIST 1006
#define IDC_PUBLISH_LINK 1010
#define IDC_PUBLISH 1017
#define IDS_COLUMN_NAME 12
#define IDS_COLUMN_SCORE 13
#define IDS_COLUMN_DATE 14
#define IDS_ENTER_NAME 15
