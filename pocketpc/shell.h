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

// Sizes the dialog over the work area and makes its caption's close box the OK button: it sends
// WM_COMMAND IDOK with lParam 0. Escape and IDCANCEL close nothing. The input panel does not
// exist on a desktop, so SHIDIF_SIPDOWN changes nothing.
BOOL SHInitDialog(PSHINITDLGINFO info);
