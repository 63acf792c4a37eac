#pragma once
// Resource ids of Talvex, grouped by kind. Shared by the resource script and the code, so only
// preprocessor definitions live here.

// Bitmaps, icon, menus, dialogs
#define IDB_TEXTURE 101
#define IDR_MENUBAR 102  // MENU and menu-bar RCDATA share this id
#define IDI_TALVEX 104
#define IDD_OPTIONS 105
#define IDB_PAUSE 106

// Waves, played by name ("#110", "#112")
#define IDW_LEVEL_UP 110
#define IDW_ROWS 112

// Strings
#define IDS_EXIT 108
#define IDS_ABOUT_CAPTION 109
#define IDS_ABOUT_TEXT 110
#define IDS_MISSING_COMPONENTS 111
#define IDS_EXTRAS 40003
#define IDS_ABOUT 40004
#define IDS_OPTIONS 40005
#define IDS_TALVENOR 40006
#define IDS_NEW_GAME 40007
#define IDS_PAUSE 40008
#define IDS_SCORES 40009
#define IDS_GAME_OVER 40014

// Commands
#define IDM_EXIT 108
#define IDM_EXTRAS 40001
#define IDM_ABOUT 40004
#define IDM_OPTIONS 40005
#define IDM_NEW_GAME 40007
#define IDM_PAUSE 40008
#define IDM_SCORES 40009

// Controls of the options dialog
#define IDC_PLAY_SOUND 1000
#define IDC_LEVEL 1001
#define IDC_SHOW_PREVIEW 1002
#define IDC_LEVEL_SPIN 1003
#define IDC_SETUP_KEYS 1016
