#pragma once
// The GDI objects a process holds, for leak checks and measurements. GetGuiResources counts them
// on Windows; Wine answers 0 there, and what it keeps instead is the GDI handle table that every
// process maps for itself.
#include <windows.h>

struct GdiObjectCount {
  int objects = -1;  // -1 when neither way could count them
  const wchar_t* source = L"";
};

// byType, when given, receives the table's entries in use by their full kind (see GdiTypeName).
GdiObjectCount CountGdiObjects(HANDLE process, int (*byType)[256] = nullptr);

// This process's GDI objects; -1 when they cannot be counted.
inline int OwnGdiObjects() {
  return CountGdiObjects(GetCurrentProcess()).objects;
}

// The kind a byType index stands for ("font", "pen", ...), or null for one it does not know.
const char* GdiTypeName(int kind);
