// The .reg reader that gives the end-to-end tests the installer's key map: what it writes, and
// the files it refuses rather than half-applies silently.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "reg_file.h"

namespace {

constexpr wchar_t kScratch[] = L"Software\\Velmora\\TalvenorTests\\RegFile";

class RegFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"talvenor_reg_file_test.reg";
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
  }
  void TearDown() override {
    DeleteFileW(path_.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    RegDeleteKeyW(HKEY_CURRENT_USER, kScratch);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Velmora\\TalvenorTests");  // only when empty
  }
  std::string Apply(const std::string& text) {
    std::ofstream(path_.c_str(), std::ios::binary) << text;
    return ApplyRegFile(path_);
  }
  std::wstring path_;
};

TEST_F(RegFileTest, WritesStringsAndDwordsUnderTheCurrentUser) {
  const std::string error = Apply(
      "REGEDIT4\r\n\r\n; a comment\r\n"
      "[HKEY_CURRENT_USER\\Software\\Velmora\\TalvenorTests\\RegFile\\Action0]\r\n"
      "\"Id\"=dword:00000003\r\n"
      "\"Name\"=\"Say \\\"drop\\\" \\\\ now\"\r\n"
      "\"Code\"=dword:FFFFFFFF\r\n");
  EXPECT_EQ(error, "");
  const std::wstring key = std::wstring(kScratch) + L"\\Action0";
  DWORD value = 0, size = sizeof value;
  ASSERT_EQ(
      RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Id", RRF_RT_REG_DWORD, nullptr, &value, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(value, 3u);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Code", RRF_RT_REG_DWORD, nullptr, &value,
                         &size),
            ERROR_SUCCESS);
  EXPECT_EQ(value, 0xFFFFFFFFu);
  wchar_t text[64] = {};
  DWORD bytes = sizeof text;
  ASSERT_EQ(
      RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Name", RRF_RT_REG_SZ, nullptr, text, &bytes),
      ERROR_SUCCESS);
  EXPECT_STREQ(text, L"Say \"drop\" \\ now");
}

TEST_F(RegFileTest, RefusesWhatTheInstallerWouldNotWrite) {
  const std::string key = "[HKEY_CURRENT_USER\\Software\\Velmora\\TalvenorTests\\RegFile]\n";
  const struct {
    const char* name;
    std::string text;
    const char* error;
  } cases[] = {
      {"no header", key + "\"Id\"=dword:1\n", "line 1: not a .reg file"},
      {"empty", "", "empty file"},
      {"another root", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\X]\n",
       "line 2: not a key under HKEY_CURRENT_USER"},
      {"value outside a key", "REGEDIT4\n\"Id\"=dword:1\n", "line 2: a value outside a key"},
      {"binary value", "REGEDIT4\n" + key + "\"Id\"=hex:01,00\n",
       "line 3: only string and dword values are read"},
      {"nine hex digits", "REGEDIT4\n" + key + "\"Id\"=dword:100000000\n",
       "line 3: only string and dword values are read"},
      {"unterminated name", "REGEDIT4\n" + key + "\"Id=dword:1\n", "line 3: cannot read this line"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Apply(c.text), c.error);
  }
  EXPECT_EQ(ApplyRegFile(path_ + L".missing"), "cannot open the file");
}

}  // namespace
