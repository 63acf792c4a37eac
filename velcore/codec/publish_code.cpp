#include "velcore/codec/publish_code.h"

#include <cstdio>
#include <cstring>

#include "velcore/codec/score_record.h"

size_t Base64Encode(const uint8_t* data, size_t length, char* text, size_t capacity) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const size_t needed = (length + 2) / 3 * 4;
  if (capacity < needed + 1) return 0;
  size_t out = 0;
  for (size_t i = 0; i < length; i += 3) {
    const size_t left = length - i;
    const uint32_t group = (uint32_t{data[i]} << 16) | (left > 1 ? uint32_t{data[i + 1]} << 8 : 0) |
                           (left > 2 ? uint32_t{data[i + 2]} : 0);
    text[out++] = kAlphabet[(group >> 18) & 63];
    text[out++] = kAlphabet[(group >> 12) & 63];
    text[out++] = left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    text[out++] = left > 2 ? kAlphabet[group & 63] : '=';
  }
  text[out] = '\0';
  return out;
}

size_t PublishCode(int32_t gameId, int32_t score, Utf16Char (&code)[kPublishCodeCapacity]) {
  code[0] = 0;
  if (!IsPublishedGameId(gameId)) return 0;
  // The digits are ASCII, so they are their own bytes in any ANSI code page.
  char digits[32];
  const int length = std::snprintf(digits, sizeof digits, "%.4d%.2d%d", 0, static_cast<int>(gameId),
                                   static_cast<int>(score));
  // At most 13 characters after the first four, each worth at most '9' (57): four digits hold
  // the sum.
  unsigned sum = 0;
  for (int i = 4; i < length; ++i) sum += static_cast<unsigned char>(digits[i]);
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%.4u", sum);
  std::memcpy(digits, prefix, 4);

  // No digit or minus sign equals the key byte, so no byte becomes 0.
  uint8_t bytes[sizeof digits];
  for (int i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(digits[i]) ^ kScrambleKey;

  char text[kPublishCodeCapacity];
  const size_t written = Base64Encode(bytes, static_cast<size_t>(length), text, sizeof text);
  for (size_t i = 0; i <= written; ++i) code[i] = static_cast<Utf16Char>(text[i]);
  return written;
}
