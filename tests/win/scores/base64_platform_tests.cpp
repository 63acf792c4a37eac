// The publishing code's own Base64 against the platform's encoder, which it stands in for so that
// the host build can test the whole code.
#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "velcore/codec/publish_code.h"

namespace {

std::string PlatformBase64(const std::vector<uint8_t>& bytes) {
  const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
  DWORD length = 0;
  if (!CryptBinaryToStringA(bytes.data(), static_cast<DWORD>(bytes.size()), flags, nullptr,
                            &length)) {
    return "(failed)";
  }
  std::string text(length, '\0');
  if (!CryptBinaryToStringA(bytes.data(), static_cast<DWORD>(bytes.size()), flags, text.data(),
                            &length)) {
    return "(failed)";
  }
  text.resize(length);
  return text;
}

TEST(Base64Platform, AgreesWithCryptBinaryToString) {
  uint32_t seed = 12345;
  for (size_t length = 1; length <= 40; ++length) {
    std::vector<uint8_t> bytes(length);
    for (auto& b : bytes) {
      seed = seed * 1103515245u + 12345u;
      b = static_cast<uint8_t>(seed >> 16);
    }
    char text[64];
    ASSERT_GT(Base64Encode(bytes.data(), bytes.size(), text, sizeof text), 0u);
    EXPECT_EQ(std::string(text), PlatformBase64(bytes)) << length << " bytes";
  }
}

}  // namespace
