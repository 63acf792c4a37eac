#pragma once
// The keys the library reads for itself; the calling game names its own.
// HKEY_CURRENT_USER: the browser's link colours.
constexpr wchar_t kLinkColourPath[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
// HKEY_LOCAL_MACHINE: the shell's hardware buttons.
constexpr wchar_t kShellKeysPath[] = L"SOFTWARE\\Microsoft\\Shell\\Keys";
