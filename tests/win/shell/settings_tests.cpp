// The options in the registry: what is read, what is ignored, what is written back.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/settings.h"
#include "tests/support/registry_values.h"

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void Store(const wchar_t* name, DWORD type, std::vector<BYTE> data) {
    key_.Write(name, type, data);
  }
  void StoreDword(const wchar_t* name, DWORD value) { key_.WriteDword(name, value); }
  // The stored value's type and number; type 0 when it is missing.
  std::pair<DWORD, DWORD> Load(const wchar_t* name) {
    const auto value = key_.Read(name);
    const std::optional<DWORD> number = value ? test_support::DwordOf(*value) : std::nullopt;
    if (!number) return {0, 0};
    return {value->type, *number};
  }

  test_support::ScratchKey key_;
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
  ReadSettings(s, key_.Path());
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
    key_.Clear();
    Store(c.value, c.type, c.data);
    Settings s;
    s.InitialLevel = 7;
    s.ShowPreview = 0;
    ReadSettings(s, key_.Path());
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
  ReadSettings(s, key_.Path());
  EXPECT_EQ(s.InitialLevel, 0u);
  EXPECT_FALSE(s.ShowPreview);
  EXPECT_FALSE(s.PlaySound);
}

TEST_F(SettingsTest, WritesAllThreeAsDwordsWithSwitchesAsOne) {
  StoreDword(L"ShowPreview", 2);
  StoreDword(L"PlaySound", 0);
  Settings s;
  ReadSettings(s, key_.Path());
  WriteSettings(s, key_.Path());
  EXPECT_EQ(Load(L"InitialLevel"), (std::pair<DWORD, DWORD>{REG_DWORD, 0}));
  EXPECT_EQ(Load(L"ShowPreview"), (std::pair<DWORD, DWORD>{REG_DWORD, 1}));
  EXPECT_EQ(Load(L"PlaySound"), (std::pair<DWORD, DWORD>{REG_DWORD, 0}));

  s.InitialLevel = 9;
  s.ShowPreview = 0;
  s.PlaySound = 1;
  WriteSettings(s, key_.Path());
  Settings back;
  back.PlaySound = 0;
  ReadSettings(back, key_.Path());
  EXPECT_EQ(back.InitialLevel, 9u);
  EXPECT_FALSE(back.ShowPreview);
  EXPECT_TRUE(back.PlaySound);
}

TEST_F(SettingsTest, AKeyAllowingOnlyValueReadsAndWritesTakesThem) {
  ASSERT_TRUE(key_.AllowOnlyValueReadsAndWrites());
  Settings s;
  s.InitialLevel = 6;
  s.ShowPreview = false;
  WriteSettings(s, key_.Path());
  EXPECT_EQ(Load(L"InitialLevel"), (std::pair<DWORD, DWORD>{REG_DWORD, 6}));
  Settings back;
  ReadSettings(back, key_.Path());
  EXPECT_EQ(back.InitialLevel, 6u);
  EXPECT_FALSE(back.ShowPreview);
}

}  // namespace
