#include "ui/registry_data.h"

namespace ui {

bool ParseIntValue(const uint8_t* data, size_t size, int32_t& value) {
  if (!data || size != 4) return false;
  const uint32_t bits = uint32_t{data[0]} | (uint32_t{data[1]} << 8) | (uint32_t{data[2]} << 16) |
                        (uint32_t{data[3]} << 24);
  value = static_cast<int32_t>(bits);
  return true;
}

bool ParseTextValue(const uint8_t* data, size_t size, Utf16Char* text, size_t capacity) {
  if (!text || capacity == 0) return false;
  text[0] = 0;
  if (size > capacity * sizeof(Utf16Char) || (!data && size > 0)) return false;
  // An odd last byte is half a character: ignored.
  const size_t units = size / 2;
  size_t length = 0;
  while (length < units && (data[2 * length] | data[2 * length + 1]) != 0) ++length;
  if (length >= capacity) return false;
  for (size_t i = 0; i < length; ++i) {
    text[i] = static_cast<Utf16Char>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  text[length] = 0;
  return true;
}

}  // namespace ui
