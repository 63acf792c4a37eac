// Link colours from the browser's registry text.
#include <gtest/gtest.h>

#include <string>

#include "velcore/codec/colour_text.h"

namespace {

TEST(ColourText, Parses) {
  constexpr uint32_t kUnchanged = 0x00ABCDEF;
  struct Case {
    const char* text;
    bool valid;
    uint32_t colour;
  } cases[] = {
      {"0,0,128", true, 0x00800000},
      {"255,0,0", true, 0x000000FF},
      {"1,2,3", true, 0x00030201},
      {" 10, 20, 30", true, 0x001E140A},
      {"256,0,0", true, 0x00000000},  // low 8 bits only
      {"0,257,511", true, 0x00FF0100},
      {"99999999999999,0,0", true, 0x000000FF},  // 0x5AF3107A3FFF: low byte FF
      {"-2,0,0", true, 0x000000FE},
      {"0,0,-1", true, 0x00FF0000},
      {"0,0", false, kUnchanged},   // one comma
      {"0,0,", false, kUnchanged},  // nothing after the second comma
      {"", false, kUnchanged},
      {"128", false, kUnchanged},
      {"-1,0,0", false, kUnchanged},
      {"0,-1,0", false, kUnchanged},
      {"0,x,0", false, kUnchanged},
      {"0,0,blue", false, kUnchanged},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::basic_string<Utf16Char> text;
    for (const char* p = c.text; *p; ++p) text.push_back(static_cast<Utf16Char>(*p));
    uint32_t colour = kUnchanged;
    EXPECT_EQ(ParseColourText(text.c_str(), colour), c.valid);
    EXPECT_EQ(colour, c.colour);
  }
  uint32_t colour = kUnchanged;
  EXPECT_FALSE(ParseColourText(nullptr, colour));
}

}  // namespace
