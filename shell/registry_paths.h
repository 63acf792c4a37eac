#pragma once
// Where the game keeps what the player sets and achieves, under HKEY_CURRENT_USER: its own
// options, and the keys of the key map and the score table that it hands to the library.
constexpr wchar_t kOptionsPath[] = L"Software\\Velmora\\Gravlin\\Options";
constexpr wchar_t kKeysPath[] = L"Software\\Velmora\\Gravlin\\Keys";
constexpr wchar_t kScorePath[] = L"Software\\Velmora\\Gravlin\\Score";
