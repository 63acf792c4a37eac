#pragma once
// The registry contents of a .reg file, written as the installer writes them: the key map the
// tests start from is read from the installer's own install/keys.reg (copied beside the game).
#include <string>

// Writes the keys, string values and dword values of a REGEDIT4 file (ASCII or UTF-8) under
// HKEY_CURRENT_USER. Returns an empty text, or the file's line that stopped it and why.
std::string ApplyRegFile(const std::wstring& path);
