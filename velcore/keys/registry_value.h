#pragma once
// Bounded reads of the registry values the key target keeps. Value types are not checked: a
// value is taken when its data has the size the field needs.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "velcore/codec/key_values.h"

// A name of at most 255 characters and its terminator.
constexpr size_t kNameLength = kKeyTextLength;

// Reads a 4-byte value. Returns false and leaves value alone when it is missing or has another
// size (a shorter value would leave part of the field unread).
bool ReadRegistryInt(HKEY key, const wchar_t* name, int32_t& value);

// Reads a string of at most 255 characters, stored with or without its terminator. Returns
// false and leaves text empty when it is missing or longer.
bool ReadRegistryText(HKEY key, const wchar_t* name, wchar_t (&text)[kNameLength]);
