#include "velcore/codec/colour_text.h"

namespace {

// A decimal number between begin and end: leading blanks, an optional sign, digits; whatever
// follows the digits is ignored. Only the low 8 bits and whether it is -1 matter.
struct Component {
  bool readable = false;
  bool minusOne = false;
  uint8_t low = 0;
};

Component ReadComponent(const Utf16Char* begin, const Utf16Char* end) {
  const Utf16Char* p = begin;
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  Component c;
  uint32_t low = 0;
  uint32_t magnitude = 0;  // saturates; only 1 matters
  int digits = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p, ++digits) {
    const uint32_t d = static_cast<uint32_t>(*p - '0');
    low = (low * 10 + d) & 0xFF;
    magnitude = magnitude > 100 ? magnitude : magnitude * 10 + d;
  }
  if (digits == 0) return c;
  c.readable = true;
  c.minusOne = negative && magnitude == 1;
  c.low = static_cast<uint8_t>(negative ? (256 - low) & 0xFF : low);
  return c;
}

const Utf16Char* FindComma(const Utf16Char* p) {
  while (*p != 0 && *p != ',') ++p;
  return *p == ',' ? p : nullptr;
}

}  // namespace

bool ParseColourText(const Utf16Char* text, uint32_t& colour) {
  if (!text) return false;
  const Utf16Char* first = FindComma(text);
  if (!first) return false;
  const Utf16Char* second = FindComma(first + 1);
  if (!second) return false;
  const Utf16Char* blueBegin = second + 1;
  const Utf16Char* blueEnd = blueBegin;
  while (*blueEnd != 0) ++blueEnd;
  if (blueBegin == blueEnd) return false;

  const Component red = ReadComponent(text, first);
  const Component green = ReadComponent(first + 1, second);
  const Component blue = ReadComponent(blueBegin, blueEnd);
  if (!red.readable || !green.readable || !blue.readable || red.minusOne || green.minusOne) {
    return false;
  }
  colour = uint32_t{red.low} | (uint32_t{green.low} << 8) | (uint32_t{blue.low} << 16);
  return true;
}
