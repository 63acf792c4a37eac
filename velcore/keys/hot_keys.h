#pragma once
// Taking hardware buttons from the shell as hot keys of a window. The handheld's core library
// has "UnregisterFunc1" to make the shell let go of a button first; a desktop has neither.
#include <windows.h>

#include <cstdint>

using UnregisterFunc1Fn = BOOL(WINAPI*)(UINT modifiers, UINT id);

// The shell registers its buttons with the Windows key as modifier.
constexpr UINT kButtonModifiers = MOD_WIN;

// Looked up in the system folder once per process; null when the core library or the function
// is missing.
UnregisterFunc1Fn LookUpUnregisterFunc1();

// Registers the button as hot key `code` of the window, after taking it from the shell when
// takeFromShell is known. False when another program still holds it; a button the window holds
// already counts as taken.
bool GrabButton(HWND window, int32_t code, UnregisterFunc1Fn takeFromShell);
void ReleaseButton(HWND window, int32_t code);
