#pragma once
// Pieces of the handheld's core library that desktop Win32 lacks.
#include <windows.h>

#include <cstdint>

// 32-bit pseudo-random values; the generator is seeded once per process.
uint32_t Random();

// Looks an export up by a wide-character name. Export names are ASCII; any other name finds
// nothing.
FARPROC GetProcAddressW(HMODULE module, const wchar_t* name);
