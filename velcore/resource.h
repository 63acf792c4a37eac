#pragma once
// Resource ids of velcore.dll, grouped by part.

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
