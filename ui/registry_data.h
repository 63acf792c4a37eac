#pragma once
// Registry value data as RegQueryValueExW hands it over, turned into a number or a text field.
// Types are not checked: a value is taken when its data has the size the field needs. Portable
// (no <windows.h>), so that hand-written data can be tried on any host.
#include <cstddef>
#include <cstdint>

#include "ui/utf16.h"

namespace ui {

// A 32-bit number from exactly 4 bytes (little-endian). Returns false and leaves value alone
// for any other size (a shorter value would leave part of the field unread).
bool ParseIntValue(const uint8_t* data, size_t size, int32_t& value);

// A string from size bytes into a field of capacity units, stored with or without its
// terminator: the first NUL, if any, ends it; an odd last byte is ignored. Returns false and
// leaves text empty (when it has room at all) when the data is longer than the field or holds
// capacity characters without a NUL.
bool ParseTextValue(const uint8_t* data, size_t size, Utf16Char* text, size_t capacity);

template <size_t N>
bool ParseTextValue(const uint8_t* data, size_t size, Utf16Char (&text)[N]) {
  return ParseTextValue(data, size, text, N);
}

}  // namespace ui
