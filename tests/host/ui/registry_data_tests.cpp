// Registry value data turned into the fields of a key map action.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/registry_data.h"

namespace ui {
namespace {

// A registry name: 255 characters and its terminator.
constexpr size_t kNameField = 256;

std::vector<uint8_t> Utf16Bytes(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

TEST(RegistryData, IntTakesExactlyFourBytes) {
  struct Case {
    std::vector<uint8_t> data;
    bool taken;
    int32_t value;
  } cases[] = {
      {{0x25, 0x00, 0x00, 0x00}, true, 0x25},
      {{0xC1, 0x00, 0x00, 0x00}, true, 0xC1},
      {{0xFF, 0xFF, 0xFF, 0xFF}, true, -1},
      {{0x00, 0x00, 0x00, 0x80}, true, INT32_MIN},
      {{0x78, 0x56, 0x34, 0x12}, true, 0x12345678},  // little-endian
      {{}, false, 7},
      {{0x25}, false, 7},
      {{0x25, 0x00, 0x00}, false, 7},
      {{0x25, 0x00, 0x00, 0x00, 0x00}, false, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.data.size());
    int32_t value = 7;
    EXPECT_EQ(ParseIntValue(c.data.data(), c.data.size(), value), c.taken);
    EXPECT_EQ(value, c.value);
  }
  int32_t value = 7;
  EXPECT_FALSE(ParseIntValue(nullptr, 4, value));
  EXPECT_EQ(value, 7);
}

TEST(RegistryData, TextEndsAtFirstNulAndFitsTheField) {
  const std::u16string longest(255, u'x');
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    bool taken;
    std::u16string text;
  } cases[] = {
      {"terminated", Utf16Bytes(u"Move left" + std::u16string(1, 0)), true, u"Move left"},
      {"no terminator", Utf16Bytes(u"Drop"), true, u"Drop"},
      {"empty", {}, true, u""},
      {"text after the NUL", Utf16Bytes(std::u16string(u"ab\0cd", 5)), true, u"ab"},
      {"odd last byte", {'a', 0, 'b'}, true, u"a"},
      {"non-ASCII", Utf16Bytes(u"Dr\u00f6p\u4e00"), true, u"Dr\u00f6p\u4e00"},
      {"255 characters", Utf16Bytes(longest), true, longest},
      {"255 and NUL", Utf16Bytes(longest + std::u16string(1, 0)), true, longest},
      {"256 without NUL", Utf16Bytes(longest + u"y"), false, u""},
      {"longer than the field", Utf16Bytes(u"ab" + std::u16string(300, 0)), false, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Utf16Char text[kNameField];
    for (Utf16Char& u : text) u = u'?';
    EXPECT_EQ(ParseTextValue(c.data.data(), c.data.size(), text), c.taken);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), c.text);
  }
}

}  // namespace
}  // namespace ui
