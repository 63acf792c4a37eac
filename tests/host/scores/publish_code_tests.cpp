// The publishing code and its Base64.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "velcore/codec/publish_code.h"

namespace {

std::string Narrow(const Utf16Char* text) {
  std::string s;
  for (; *text != 0; ++text) s.push_back(static_cast<char>(*text));
  return s;
}

TEST(PublishCode, KnownCodes) {
  // Expected codes worked out independently: T with its four-digit character sum, XOR 0x5A,
  // Base64.
  struct Case {
    int32_t gameId;
    int32_t score;
    const char* code;
  } cases[] = {
      {83, 1234, "amlqY2Jpa2hpbg=="},                // T = 0309831234
      {83, 7, "amtsaGJpbQ=="},                       // one digit: 7 bytes, 12 characters
      {83, 2147483647, "amxpaWJpaGtubW5iaWxubQ=="},  // ten digits: 16 bytes, 24 characters
      {83, -5, "amhqb2Jpd28="},                      // T = 020583-5, signed
      {83, INT32_MIN, "amxtY2Jpd2hrbm1uYmlsbmI="},
      {7, 0, "amtva2ptag=="},  // at least two digits of the game number
      {0, 34, "amtjY2pqaW4="},
      {9, 34, "amhqYmpjaW4="},
      {99, 34, "amhrbWNjaW4="},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    Utf16Char code[kPublishCodeCapacity];
    const size_t length = PublishCode(c.gameId, c.score, code);
    EXPECT_EQ(Narrow(code), c.code);
    EXPECT_EQ(length, std::string(c.code).size());
  }
}

TEST(PublishCode, LongestInputsFit) {
  Utf16Char code[kPublishCodeCapacity];
  EXPECT_EQ(PublishCode(99, INT32_MIN, code), 24u);  // 17 digits
  EXPECT_EQ(code[24], 0);
}

TEST(PublishCode, GameNumbersOutsideTheRangeHaveNone) {
  // 123 with 4 and 12 with 34 once gave the same digits.
  for (const int32_t gameId : {100, 123, 1000, INT32_MAX, -1, INT32_MIN}) {
    SCOPED_TRACE(gameId);
    Utf16Char code[kPublishCodeCapacity];
    for (Utf16Char& c : code) c = 'x';
    EXPECT_EQ(PublishCode(gameId, 4, code), 0u);
    EXPECT_EQ(code[0], 0);
  }
}

TEST(Base64, StandardVectorsAndCapacity) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"", ""},
               {"f", "Zg=="},
               {"fo", "Zm8="},
               {"foo", "Zm9v"},
               {"foob", "Zm9vYg=="},
               {"fooba", "Zm9vYmE="},
               {"foobar", "Zm9vYmFy"},
               {"\xfb\xff", "+/8="}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    char text[16];
    const std::string in(c.in);
    const size_t n =
        Base64Encode(reinterpret_cast<const uint8_t*>(in.data()), in.size(), text, sizeof text);
    EXPECT_STREQ(text, c.out);
    EXPECT_EQ(n, std::string(c.out).size());
  }
  char small[5];
  EXPECT_EQ(Base64Encode(reinterpret_cast<const uint8_t*>("foob"), 4, small, sizeof small), 0u);
  EXPECT_EQ(Base64Encode(reinterpret_cast<const uint8_t*>("foo"), 3, small, sizeof small), 4u);
}

}  // namespace
