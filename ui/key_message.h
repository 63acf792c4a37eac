#pragma once
// What a key message's lParam says besides the key: the flags the game and the library read.
#include <windows.h>

namespace ui {

constexpr LPARAM kKeyAltHeld = LPARAM{1} << 29;   // Alt was down with the key
constexpr LPARAM kKeyRepeat = LPARAM{1} << 30;    // the key was down already: a held key's repeat
constexpr LPARAM kKeyReleased = LPARAM{1} << 31;  // the key goes up

}  // namespace ui
