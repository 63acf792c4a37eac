#pragma once
// Cost figures of another process. Where Wine lacks the Windows call (GetGuiResources, the
// private bytes of GetProcessMemoryInfo), the figure comes from what Wine does keep: the GDI
// handle table the process maps for itself, and Linux's /proc entry of the process.
#include <windows.h>

#include <array>
#include <string>

struct ProcessFigures {
  double cpuSeconds = -1;  // user + kernel
  double privateKb = -1;   // private memory
  int gdiObjects = -1;
  // By kind (GdiTypeName); all 0 where the count came from GetGuiResources.
  std::array<int, 256> gdiByType = {};
  int userObjects = -1;  // windows, where USER objects cannot be counted
  std::wstring cpuSource, memorySource, gdiSource, userSource;
};

// image: the file name the process was started from, to find it under /proc on Wine.
ProcessFigures Measure(HANDLE process, DWORD processId, const wchar_t* image);

// The process's windows, top-level and child: what Wine has instead of a count of USER objects.
int CountWindows(DWORD processId);
