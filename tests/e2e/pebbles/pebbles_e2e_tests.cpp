// Pebbles, the second game on velcore.dll, driven from outside: alone, its keys, key setup,
// scores and About box are its own; beside Talvex, a button both map goes to the one in front.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "key_map_defaults.h"
#include "registry_backup.h"
#include "talvex_process.h"
#include "tests/support/hardware_buttons.h"
#include "tests/support/registry_tree.h"
#include "tests/support/registry_values.h"
#include "tests/support/win_support.h"
#include "velcore/codec/publish_code.h"

namespace {

using test_support::BringToFront;
using test_support::ButtonTaken;
using test_support::PressHardwareButton;
using test_support::SendKey;

constexpr DWORD kStartTimeout = 15000;
constexpr wchar_t kPebblesRoot[] = L"Software\\Velmora\\Pebbles";
constexpr wchar_t kPebblesKeys[] = L"Software\\Velmora\\Pebbles\\Keys";
constexpr wchar_t kPebblesScore[] = L"Software\\Velmora\\Pebbles\\Score";
constexpr wchar_t kTalvexKeys[] = L"Software\\Velmora\\Gravlin\\Keys";
constexpr UINT kButton = 0xC1;
// The sample's menu commands and its status line (samples/pebbles/resource.h).
constexpr int kStatus = 1001;
constexpr WORD kSetupKeys = 40002;
constexpr WORD kScores = 40003;
constexpr WORD kAbout = 40004;
constexpr WORD kExit = 40005;

std::wstring PebblesFolder() {
  return BinFolder() + L"..\\samples\\pebbles\\";
}

class Pebbles {
 public:
  bool Start() {
    if (!process_.Start(PebblesFolder() + L"pebbles.exe", PebblesFolder())) return false;
    PumpUntil(kStartTimeout, [&] {
      window_ = test_support::FindVisibleWindow(L"VelmoraPebbles", process_.Id());
      return window_ && !Status().empty();
    });
    return window_ != nullptr;
  }
  HWND Window() const { return window_; }
  std::wstring Status() const { return WindowText(GetDlgItem(window_, kStatus)); }
  void Command(WORD id) const { PostMessageW(window_, WM_COMMAND, id, 0); }
  HWND WaitForDialog(const wchar_t* caption) { return process_.WaitForDialog(5000, caption); }
  DWORD Exit() {
    Command(kExit);
    return process_.WaitForExit(5000);
  }

 private:
  TalvexProcess process_;
  HWND window_ = nullptr;
};

void Press(WORD key) {
  EXPECT_TRUE(SendKey(key, false));
  EXPECT_TRUE(SendKey(key, true));
}

bool StatusBecomes(Pebbles& pebbles, const std::wstring& status) {
  return PumpUntil(3000, [&] { return pebbles.Status() == status; });
}

// The values of every subkey of a key, by subkey name: a whole key map.
using Tree = std::vector<
    std::pair<std::wstring, std::vector<std::pair<std::wstring, test_support::RegistryValue>>>>;
Tree ReadTree(const wchar_t* path) {
  Tree tree;
  for (const std::wstring& name : test_support::SubkeyNames(HKEY_CURRENT_USER, path)) {
    HKEY subkey = nullptr;
    const std::wstring subpath = std::wstring(path) + L"\\" + name;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subpath.c_str(), 0, KEY_READ, &subkey) != ERROR_SUCCESS) {
      continue;
    }
    tree.emplace_back(name, test_support::ReadValues(subkey));
    RegCloseKey(subkey);
  }
  return tree;
}

DWORD CodeOf(const wchar_t* path, const wchar_t* action) {
  const auto value =
      test_support::ReadValue(HKEY_CURRENT_USER, std::wstring(path) + L"\\" + action, L"Code");
  return value ? test_support::DwordOf(*value).value_or(0xFFFFFFFF) : 0xFFFFFFFF;
}

void SetCode(const wchar_t* path, const wchar_t* action, DWORD code) {
  test_support::WriteValue(HKEY_CURRENT_USER, std::wstring(path) + L"\\" + action, L"Code",
                           REG_DWORD, &code, sizeof code);
}

class PebblesTest : public ::testing::Test {
 protected:
  void TearDown() override { test_support::RemoveShellButtons(); }

  RegistryBackup talvex_;
  RegistryBackup pebbles_{kPebblesRoot};
};

TEST_F(PebblesTest, ItsKeysArriveAsItsActions) {
  Pebbles pebbles;
  ASSERT_TRUE(pebbles.Start());
  // The game wrote its own key map; nothing of Talvenor's came into being.
  EXPECT_EQ(CodeOf(kPebblesKeys, L"1 Left"), static_cast<DWORD>('A'));
  EXPECT_EQ(CodeOf(kPebblesKeys, L"3 Drop"), static_cast<DWORD>(VK_SPACE));
  EXPECT_FALSE(test_support::KeyExists(HKEY_CURRENT_USER, kTalvexKeys));
  ASSERT_TRUE(BringToFront(pebbles.Window()));
  struct Step {
    WORD key;
    const wchar_t* status;
  } steps[] = {
      {'D', L"Pebbles 0, place 2, last Right up"},
      {VK_SPACE, L"Pebbles 1, place 2, last Drop up"},
      {VK_RIGHT, L"Pebbles 1, place 2, last Drop up"},  // Talvenor's key, not this game's
      {'A', L"Pebbles 1, place 1, last Left up"},
      {'A', L"Pebbles 1, place 1, last Left up"},  // the row's first place
      {VK_SPACE, L"Pebbles 2, place 1, last Drop up"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(step.status)));
    Press(step.key);
    EXPECT_TRUE(StatusBecomes(pebbles, step.status)) << testing::PrintToString(pebbles.Status());
  }
  EXPECT_EQ(pebbles.Exit(), 0u);
}

TEST_F(PebblesTest, KeySetupAndScoresStayUnderItsKeys) {
  ASSERT_TRUE(StoreKeyMapDefaults());
  const Tree talvexKeys = ReadTree(kTalvexKeys);
  ASSERT_FALSE(talvexKeys.empty());
  Pebbles pebbles;
  ASSERT_TRUE(pebbles.Start());

  // Left, the action of the lowest Id, is the first row: it takes J.
  pebbles.Command(kSetupKeys);
  HWND setup = pebbles.WaitForDialog(L"Setup keys");
  ASSERT_NE(setup, nullptr);
  ASSERT_TRUE(BringToFront(setup));
  PostMessageW(setup, WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(setup, 1003)));
  ASSERT_TRUE(PumpUntil(3000, [&] { return !IsWindowEnabled(GetDlgItem(setup, 1003)); }));
  Press('J');
  // The list's texts cannot be read from another process: what is stored tells.
  Pump(300);
  test_support::CloseWithOk(setup);
  ASSERT_TRUE(PumpUntil(3000, [&] { return !IsWindow(setup); }));
  EXPECT_EQ(CodeOf(kPebblesKeys, L"1 Left"), static_cast<DWORD>('J'));
  EXPECT_EQ(ReadTree(kTalvexKeys), talvexKeys);

  // Three pebbles and Finish: the score enters the game's own table.
  ASSERT_TRUE(BringToFront(pebbles.Window()));
  for (WORD key : {WORD{'D'}, WORD{'J'}, WORD{VK_SPACE}, WORD{VK_SPACE}, WORD{VK_SPACE}}) {
    Press(key);
  }
  ASSERT_TRUE(StatusBecomes(pebbles, L"Pebbles 3, place 1, last Drop up"));
  Press('F');
  HWND scores = pebbles.WaitForDialog(L"Scores");
  ASSERT_NE(scores, nullptr);
  test_support::CloseWithOk(scores);
  ASSERT_TRUE(PumpUntil(3000, [&] { return !IsWindow(scores); }));
  HKEY score = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kPebblesScore, 0, KEY_READ, &score), ERROR_SUCCESS);
  EXPECT_FALSE(test_support::ReadValues(score).empty());
  RegCloseKey(score);
  EXPECT_FALSE(test_support::KeyExists(HKEY_CURRENT_USER, kScoreKey));

  // Its publishing code carries its own game number.
  pebbles.Command(kScores);
  scores = pebbles.WaitForDialog(L"Scores");
  ASSERT_NE(scores, nullptr);
  PostMessageW(scores, WM_COMMAND, MAKEWPARAM(1017, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(scores, 1017)));
  HWND publish = pebbles.WaitForDialog(L"Publish score");
  ASSERT_NE(publish, nullptr);
  Utf16Char code[kPublishCodeCapacity];
  PublishCode(42, 3, code);
  EXPECT_EQ(WindowText(GetDlgItem(publish, 1004)), std::wstring(code));
  test_support::CloseWithOk(publish);
  ASSERT_TRUE(PumpUntil(3000, [&] { return !IsWindow(publish); }));
  test_support::CloseWithOk(scores);
  ASSERT_TRUE(PumpUntil(3000, [&] { return !IsWindow(scores); }));
  EXPECT_EQ(pebbles.Exit(), 0u);
}

TEST_F(PebblesTest, ItsAboutBoxIsItsOwn) {
  Pebbles pebbles;
  ASSERT_TRUE(pebbles.Start());
  pebbles.Command(kAbout);
  HWND about = pebbles.WaitForDialog(L"About Pebbles");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(WindowText(GetDlgItem(about, 1001)), L"Pebbles 1.0, a sample game");
  EXPECT_NE(SendMessageW(GetDlgItem(about, 1000), STM_GETICON, 0, 0), 0);
  test_support::CloseWithOk(about);
  ASSERT_TRUE(PumpUntil(3000, [&] { return !IsWindow(about); }));
  EXPECT_EQ(pebbles.Exit(), 0u);
}

// Both games map the shell's button: each press goes to the game in front and to it alone.
TEST_F(PebblesTest, BesideTalvexAButtonBothMapGoesToTheOneInFront) {
  test_support::WriteShellButtons({{L"40C1", L"Button 1"}});
  ASSERT_TRUE(StoreKeyMapDefaults());
  SetCode(kTalvexKeys, L"Action3", kButton);  // Talvenor's drop
  TalvexProcess talvex;
  ASSERT_TRUE(talvex.Start());
  HWND frame = talvex.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(BringToFront(frame));
  ASSERT_TRUE(PumpUntil(2000, [] { return ButtonTaken(kButton); }));
  // The button reaches Talvenor while it is alone in front: its drop scores.
  const HWND scoreLabel = Labels(frame)[3];
  ASSERT_TRUE(PressHardwareButton(kButton, false) && PressHardwareButton(kButton, true));
  ASSERT_TRUE(PumpUntil(5000, [&] { return WindowText(scoreLabel) != L"0"; }));

  // Pebbles' own key map, written before its start, drops on the same button.
  for (const auto& [subkey, id, code] :
       {std::tuple{L"1 Left", 0u, DWORD{'A'}}, std::tuple{L"3 Drop", 2u, DWORD{kButton}}}) {
    test_support::WriteValue(HKEY_CURRENT_USER, std::wstring(kPebblesKeys) + L"\\" + subkey, L"Id",
                             REG_DWORD, &id, sizeof id);
    SetCode(kPebblesKeys, subkey, code);
  }
  Pebbles pebbles;
  ASSERT_TRUE(pebbles.Start());
  int dropped = 0;
  std::vector<std::string> missed;
  for (int turn = 0; turn < 10; ++turn) {
    const bool pebblesInFront = turn % 2 == 0;
    ASSERT_TRUE(BringToFront(pebblesInFront ? pebbles.Window() : frame));
    if (!PumpUntil(2000, [] { return ButtonTaken(kButton); })) {
      missed.push_back("turn " + std::to_string(turn) + ": nobody holds the button");
      continue;
    }
    Pump(200);
    ASSERT_TRUE(PressHardwareButton(kButton, false) && PressHardwareButton(kButton, true));
    if (pebblesInFront) ++dropped;
    const std::wstring expected =
        L"Pebbles " + std::to_wstring(dropped) + L", place 1, last Drop up";
    const bool shown = StatusBecomes(pebbles, expected);
    Pump(200);  // a press that went astray as well would show by now
    if (!shown || pebbles.Status() != expected) {
      missed.push_back("turn " + std::to_string(turn) + ": " +
                       testing::PrintToString(pebbles.Status()));
    }
  }
  EXPECT_EQ(missed, std::vector<std::string>{});
  EXPECT_EQ(pebbles.Exit(), 0u);
  EXPECT_EQ(talvex.Exit(), 0u);
}

}  // namespace
