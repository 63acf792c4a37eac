// Any game number and score as a publishing code: a game number of the published range gives
// well-formed Base64 that fits its buffer and decodes to the game number and score behind their
// character sum; any other gives none.
#include <cstring>
#include <string>

#include "tests/fuzz/fuzz_input.h"
#include "velcore/codec/publish_code.h"

namespace {

int Sextet(Utf16Char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Strict RFC 4648 decoding: whole groups of four, padding only at the end, unused bits zero.
bool DecodeBase64(const Utf16Char* text, size_t length, std::string& bytes) {
  if (length % 4 != 0) return false;
  for (size_t i = 0; i < length; i += 4) {
    const bool last = i + 4 == length;
    int pad = 0;
    if (last && text[i + 3] == '=') pad = text[i + 2] == '=' ? 2 : 1;
    uint32_t group = 0;
    for (size_t k = 0; k < 4; ++k) {
      const int v = k < 4u - pad ? Sextet(text[i + k]) : 0;
      if (v < 0) return false;
      group = (group << 6) | static_cast<uint32_t>(v);
    }
    if (pad == 2 && (group & 0xFFFF) != 0) return false;
    if (pad == 1 && (group & 0xFF) != 0) return false;
    bytes.push_back(static_cast<char>(group >> 16));
    if (pad < 2) bytes.push_back(static_cast<char>((group >> 8) & 0xFF));
    if (pad < 1) bytes.push_back(static_cast<char>(group & 0xFF));
  }
  return true;
}

// Decimal digits of a signed number, at least minDigits of them after the sign.
std::string Decimal(int32_t n, size_t minDigits) {
  const int64_t wide = n;
  std::string digits = std::to_string(wide < 0 ? -wide : wide);
  if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
  return (wide < 0 ? "-" : "") + digits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const int32_t gameId = static_cast<int32_t>(in.U32());
  const int32_t score = static_cast<int32_t>(in.U32());

  Utf16Char code[kPublishCodeCapacity];
  for (Utf16Char& c : code) c = 0xFFFF;
  const size_t length = PublishCode(gameId, score, code);
  if (!IsPublishedGameId(gameId)) {
    FUZZ_CHECK(length == 0 && code[0] == 0);
    return 0;
  }
  FUZZ_CHECK(length > 0 && length < kPublishCodeCapacity);
  FUZZ_CHECK(code[length] == 0);
  for (size_t i = 0; i < length; ++i) FUZZ_CHECK(code[i] != 0);

  std::string bytes;
  FUZZ_CHECK(DecodeBase64(code, length, bytes));
  for (char& b : bytes) {
    FUZZ_CHECK(b != 0);  // the encoded text has no early end
    b = static_cast<char>(b ^ 0x5A);
  }

  const std::string tail = Decimal(gameId, 2) + Decimal(score, 1);
  unsigned sum = 0;
  for (char c : tail) sum += static_cast<unsigned char>(c);
  FUZZ_CHECK(sum < 10000);
  FUZZ_CHECK(bytes == Decimal(static_cast<int32_t>(sum), 4) + tail);

  // The same numbers always give the same code.
  Utf16Char again[kPublishCodeCapacity];
  FUZZ_CHECK(PublishCode(gameId, score, again) == length);
  FUZZ_CHECK(std::memcmp(code, again, (length + 1) * sizeof(Utf16Char)) == 0);

  // Base64 of any bytes: a length of 4 per started group of three, or 0 when it does not fit.
  size_t taken = 0;
  const uint8_t* raw = in.Take(64, taken);
  char text[90];
  const size_t capacity = in.Byte() % sizeof text + 1;
  const size_t written = Base64Encode(raw, taken, text, capacity);
  const size_t needed = (taken + 2) / 3 * 4;
  if (capacity < needed + 1) {
    FUZZ_CHECK(written == 0);
  } else {
    FUZZ_CHECK(written == needed && text[written] == '\0');
    Utf16Char wide[90];
    for (size_t i = 0; i < written; ++i) wide[i] = static_cast<Utf16Char>(text[i]);
    std::string decoded;
    FUZZ_CHECK(DecodeBase64(wide, written, decoded));
    FUZZ_CHECK(decoded.size() == taken && std::memcmp(decoded.data(), raw, taken) == 0);
  }
  return 0;
}
