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
