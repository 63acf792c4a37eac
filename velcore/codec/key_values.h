#pragma once
// The values of one action of the key map ("Id", "Code", "Name") as the registry hands over
// their data. Types are not checked: a value is taken when its data has the size the field
// needs. Kept apart from the registry so that hand-written data can be tried on any host.
#include <cstddef>
#include <cstdint>

#include "velcore/codec/utf16.h"

// A name of at most 255 characters and its terminator.
constexpr size_t kKeyTextLength = 256;

// A 32-bit number from exactly 4 bytes (little-endian). Returns false and leaves value alone
// for any other size (a shorter value would leave part of the field unread).
bool ParseIntValue(const uint8_t* data, size_t size, int32_t& value);

// A string from size bytes into a field of capacity units, stored with or without its
// terminator: the first NUL, if any, ends it; an odd last byte is ignored. Returns false and
// leaves text empty (when it has room at all) when the data is longer than the field or holds
// capacity characters without a NUL.
bool ParseTextValue(const uint8_t* data, size_t size, Utf16Char* text, size_t capacity);

// The same for a name of at most 255 characters.
inline bool ParseTextValue(const uint8_t* data, size_t size, Utf16Char (&text)[kKeyTextLength]) {
  return ParseTextValue(data, size, text, kKeyTextLength);
}
