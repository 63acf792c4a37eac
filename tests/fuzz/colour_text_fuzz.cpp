// Any text as a browser link colour: the parser stays inside the text, a colour it accepts fits
// in 24 bits, a refused text leaves the colour alone, and both agree with a plain model.
#include <memory>
#include <optional>
#include <string>

#include "tests/fuzz/fuzz_input.h"
#include "velcore/codec/colour_text.h"

namespace {

using Text = std::basic_string<Utf16Char>;

struct Number {
  bool readable = false;
  bool minusOne = false;
  uint8_t low = 0;
};

// Blanks, a sign, decimal digits; anything after the digits is ignored. The low 8 bits of the
// value, kept as two's complement for a negative number.
Number ReadNumber(const Text& text) {
  size_t p = 0;
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == '-' || text[p] == '+')) negative = text[p++] == '-';
  const size_t first = p;
  unsigned low = 0;
  while (p < text.size() && text[p] >= '0' && text[p] <= '9')
    low = (low * 10 + (text[p++] - '0')) % 256;
  Number n;
  if (p == first) return n;
  n.readable = true;
  Text digits = text.substr(first, p - first);
  digits.erase(0, digits.find_first_not_of('0') == Text::npos ? digits.size() - 1
                                                              : digits.find_first_not_of('0'));
  n.minusOne = negative && digits.size() == 1 && digits[0] == '1';
  n.low = static_cast<uint8_t>(negative ? (256 - low) % 256 : low);
  return n;
}

std::optional<uint32_t> Model(const Text& text) {
  const size_t first = text.find(',');
  if (first == Text::npos) return std::nullopt;
  const size_t second = text.find(',', first + 1);
  if (second == Text::npos || second + 1 == text.size()) return std::nullopt;
  const Number red = ReadNumber(text.substr(0, first));
  const Number green = ReadNumber(text.substr(first + 1, second - first - 1));
  const Number blue = ReadNumber(text.substr(second + 1));
  if (!red.readable || !green.readable || !blue.readable || red.minusOne || green.minusOne) {
    return std::nullopt;
  }
  return uint32_t{red.low} | (uint32_t{green.low} << 8) | (uint32_t{blue.low} << 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Every even byte pair is one code unit; the text ends at the first NUL, as the registry text
  // does once terminated. The copy on the heap has exactly that length and its NUL, so a read
  // past it is caught.
  Text text;
  FuzzInput in(data, size);
  while (in.Left() >= 2) {
    const Utf16Char unit = static_cast<Utf16Char>(in.U16());
    if (unit == 0) break;
    text.push_back(unit);
  }
  const std::unique_ptr<Utf16Char[]> exact(new Utf16Char[text.size() + 1]);
  text.copy(exact.get(), text.size());
  exact[text.size()] = 0;

  constexpr uint32_t kUnchanged = 0xDEADBEEF;
  uint32_t colour = kUnchanged;
  const bool parsed = ParseColourText(exact.get(), colour);
  const std::optional<uint32_t> expected = Model(text);
  FUZZ_CHECK(parsed == expected.has_value());
  if (parsed) {
    FUZZ_CHECK(colour <= 0x00FFFFFF);
    FUZZ_CHECK(colour == *expected);
  } else {
    FUZZ_CHECK(colour == kUnchanged);
  }
  return 0;
}
