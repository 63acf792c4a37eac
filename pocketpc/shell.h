#pragma once
// The Pocket PC shell's dialog and menu-bar calls, standing in over desktop Win32.
#include <windows.h>

struct SHINITDLGINFO {
  DWORD dwMask;
  HWND hDlg;
  DWORD dwFlags;
};
using PSHINITDLGINFO = SHINITDLGINFO*;

constexpr DWORD SHIDIM_FLAGS = 0x0001;

constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
constexpr DWORD SHIDIF_SIZEDLG = 0x0002;
constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
constexpr DWORD SHIDIF_SIPDOWN = 0x0008;
constexpr DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x0010;

// Sizes the dialog over the work area on a screen of handheld size; on a larger one it keeps its
// template's size, centred over its owner inside the work area. Makes its caption's close box the
// OK button: it sends WM_COMMAND IDOK with lParam 0. Escape and IDCANCEL close nothing. The input
// panel does not exist on a desktop, so SHIDIF_SIPDOWN changes nothing.
BOOL SHInitDialog(PSHINITDLGINFO info);

struct SHMENUBARINFO {
  DWORD cbSize;
  HWND hwndParent;
  DWORD dwFlags;
  UINT nToolBarId;  // menu-bar resource (RCDATA)
  HINSTANCE hInstRes;
  int nBmpId;      // bitmap of the button images; 0 for none
  int cBmpImages;  // images in nBmpId
  HWND hwndMB;     // out: the menu bar
};
using PSHMENUBARINFO = SHMENUBARINFO*;

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SHMENUBARINFO) == 32, "SHMENUBARINFO keeps its handheld layout");
#endif

// Builds a menu bar docked at the bottom of hwndParent from the menu-bar resource nToolBarId:
// 16-bit words holding the menu id, the button count and seven words per button (image,
// command, state, style, text string id, tool-tip string id, submenu index). A drop-down button
// opens its submenu of the menu as a popup; every command reaches the parent as WM_COMMAND. The
// bar's height is the part of the parent's client area it covers. The bar itself answers
// TB_CHECKBUTTON, TB_ISBUTTONCHECKED and TB_GETSTATE for its buttons, by command. FALSE when the
// resource is missing or malformed.
BOOL SHCreateMenuBar(PSHMENUBARINFO info);

// Adds iNumImages images of iImageWidth x iImageHeight from bitmap idBitmap to the menu bar
// hwndCB. Returns the index of the first new image, or -1.
int CommandBar_AddBitmap(HWND hwndCB, HINSTANCE hInst, int idBitmap, int iNumImages,
                         int iImageWidth, int iImageHeight);
