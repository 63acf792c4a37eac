#pragma once
// The installed key map: the values of install/keys.reg, made into a table at build time by the
// script that makes the installer's writes, so that the tests start the game from exactly what
// the installer writes.
#include <windows.h>

struct KeyMapDefault {
  const wchar_t* path;  // under HKEY_CURRENT_USER
  const wchar_t* name;
  DWORD type;  // REG_SZ or REG_DWORD
  DWORD number;
  const wchar_t* text;
};

// Writes every value under HKEY_CURRENT_USER as the installer does; false when one could not be
// written.
bool StoreKeyMapDefaults();
