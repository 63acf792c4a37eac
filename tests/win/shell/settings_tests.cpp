// The options in the registry: what is read, what is ignored, what is written back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "shell/settings.h"
#include "tests/support/registry_values.h"

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = L"Software\\Velmora\\GravlinTests\\";
    for (const char* c = ::testing::UnitTest::GetInstance()->current_test_info()->name(); *c; ++c) {
      path_ += static_cast<wchar_t>(*c);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    // The parent goes too once the last test has left it empty.
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Velmora\\GravlinTests");
  }

  void Store(const wchar_t* name, DWORD type, std::vector<BYTE> data) {
    test_support::WriteValue(HKEY_CURRENT_USER, path_, name, type, data.data(),
                             static_cast<DWORD>(data.size()));
  }
  void StoreDword(const wchar_t* name, DWORD value) {
    Store(name, REG_DWORD,
          {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
           static_cast<BYTE>(value >> 24)});
  }
  // The stored value's type and number; type 0 when it is missing.
  std::pair<DWORD, DWORD> Load(const wchar_t* name) {
    const auto value = test_support::ReadValue(HKEY_CURRENT_USER, path_, name);
    if (!value || value->bytes.size() != sizeof(DWORD)) return {0, 0};
    const std::vector<BYTE>& b = value->bytes;
    return {value->type, b[0] | b[1] << 8 | b[2] << 16 | static_cast<DWORD>(b[3]) << 24};
  }

  std::wstring path_;
};

TEST_F(SettingsTest, DefaultsAreLevelOneWithPreviewAndSound) {
  Settings s;
  EXPECT_EQ(s.InitialLevel, 0u);
  EXPECT_TRUE(s.ShowPreview);
  EXPECT_TRUE(s.PlaySound);
}

TEST_F(SettingsTest, MissingKeyKeepsEveryField) {
  Settings s;
  s.InitialLevel = 6;
  s.ShowPreview = 0;
  ReadSettings(s, path_.c_str());
  EXPECT_EQ(s.InitialLevel, 6u);
  EXPECT_FALSE(s.ShowPreview);
  EXPECT_TRUE(s.PlaySound);
}

TEST_F(SettingsTest, StoredValuesAreTakenOrIgnored) {
  const std::vector<BYTE> two = {1, 0}, eight = {1, 0, 0, 0, 0, 0, 0, 0}, four = {3, 0, 0, 0};
  struct Case {
    const char* name;
    const wchar_t* value;
    DWORD type;
    std::vector<BYTE> data;
    uint32_t level;  // expected, starting from level 7, preview off, sound on
    bool preview;
    bool sound;
  } cases[] = {
      {"level 9 accepted", L"InitialLevel", REG_DWORD, {9, 0, 0, 0}, 9, false, true},
      {"level 0 accepted", L"InitialLevel", REG_DWORD, {0, 0, 0, 0}, 0, false, true},
      {"level 10 ignored", L"InitialLevel", REG_DWORD, {10, 0, 0, 0}, 7, false, true},
      {"level -1 ignored", L"InitialLevel", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, 7, false, true},
      {"level of two bytes ignored", L"InitialLevel", REG_BINARY, two, 7, false, true},
      {"level of eight bytes ignored", L"InitialLevel", REG_QWORD, eight, 7, false, true},
      {"binary of four bytes read", L"InitialLevel", REG_BINARY, four, 3, false, true},
      {"preview 2 is on", L"ShowPreview", REG_DWORD, {2, 0, 0, 0}, 7, true, true},
      {"preview in the top byte is on", L"ShowPreview", REG_DWORD, {0, 0, 0, 1}, 7, true, true},
      {"preview of two bytes ignored", L"ShowPreview", REG_BINARY, two, 7, false, true},
      {"sound 0 is off", L"PlaySound", REG_DWORD, {0, 0, 0, 0}, 7, false, false},
      {"sound 2 is on", L"PlaySound", REG_DWORD, {2, 0, 0, 0}, 7, false, true},
      {"empty sound ignored", L"PlaySound", REG_BINARY, {}, 7, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    Store(c.value, c.type, c.data);
    Settings s;
    s.InitialLevel = 7;
    s.ShowPreview = 0;
    ReadSettings(s, path_.c_str());
    EXPECT_EQ(s.InitialLevel, c.level);
    EXPECT_EQ(static_cast<bool>(s.ShowPreview), c.preview);
    EXPECT_EQ(static_cast<bool>(s.PlaySound), c.sound);
  }
}

TEST_F(SettingsTest, BadValueDoesNotStopTheOthers) {
  StoreDword(L"InitialLevel", 12);
  StoreDword(L"ShowPreview", 0);
  StoreDword(L"PlaySound", 0);
  Settings s;
  ReadSettings(s, path_.c_str());
  EXPECT_EQ(s.InitialLevel, 0u);
  EXPECT_FALSE(s.ShowPreview);
  EXPECT_FALSE(s.PlaySound);
}

TEST_F(SettingsTest, WritesAllThreeAsDwordsWithSwitchesAsOne) {
  StoreDword(L"ShowPreview", 2);
  StoreDword(L"PlaySound", 0);
  Settings s;
  ReadSettings(s, path_.c_str());
  WriteSettings(s, path_.c_str());
  EXPECT_EQ(Load(L"InitialLevel"), (std::pair<DWORD, DWORD>{REG_DWORD, 0}));
  EXPECT_EQ(Load(L"ShowPreview"), (std::pair<DWORD, DWORD>{REG_DWORD, 1}));
  EXPECT_EQ(Load(L"PlaySound"), (std::pair<DWORD, DWORD>{REG_DWORD, 0}));

  s.InitialLevel = 9;
  s.ShowPreview = 0;
  s.PlaySound = 1;
  WriteSettings(s, path_.c_str());
  Settings back;
  back.PlaySound = 0;
  ReadSettings(back, path_.c_str());
  EXPECT_EQ(back.InitialLevel, 9u);
  EXPECT_FALSE(back.ShowPreview);
  EXPECT_TRUE(back.PlaySound);
}

}  // namespace
