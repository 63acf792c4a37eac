#pragma once
#include <windows.h>

// Centres a dialog over its owner when the owner is visible, else over the work area, and keeps
// it inside the work area; the size does not change.
void CentreDialog(HWND dialog);
