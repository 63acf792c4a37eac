// The key setup dialog through KeySetupBox, answered from inside its own modal loop: the modal
// driver plays one scripted step per tick, with real keyboard and mouse input.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/modal_driver.h"
#include "tests/support/work_area.h"
#include "velcore_fixture.h"

namespace {

constexpr int kListId = 1002;
constexpr int kStartId = 1003;
constexpr UINT kButton1 = 0xC1;
constexpr UINT kButton2 = 0xC2;

using Texts = std::vector<std::wstring>;

using test_support::CloseWithOk;
using test_support::ModalDriver;

HWND List(HWND dialog) {
  return GetDlgItem(dialog, kListId);
}

Texts Column(HWND dialog, int subItem) {
  return test_support::ColumnCells(List(dialog), subItem);
}

Texts Keys(HWND dialog) {
  return Column(dialog, 1);
}

int SelectedRows(HWND dialog) {
  return static_cast<int>(SendMessageW(List(dialog), LVM_GETSELECTEDCOUNT, 0, 0));
}

bool StartEnabled(HWND dialog) {
  return IsWindowEnabled(GetDlgItem(dialog, kStartId));
}

POINT CentreOf(HWND window, RECT rect) {
  POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(window, &centre);
  return centre;
}

void ClickStart(HWND dialog) {
  HWND start = GetDlgItem(dialog, kStartId);
  RECT rect;
  GetClientRect(start, &rect);
  ClickAt(CentreOf(start, rect));
}

// The state every step starts from: the dialog has the focus and no row is selected.
void ExpectFocusAndNoSelection(HWND dialog) {
  EXPECT_EQ(GetFocus(), dialog);
  EXPECT_EQ(SelectedRows(dialog), 0);
}

const std::vector<ShellButton> kShellButtons = {{L"40C1", L"Button 1"}, {L"40C2", L"Button 2"}};

// Enumerated a, b, c, d; shown by Id: Left, Right, Turn, Drop.
const std::vector<Action> kActions = {
    {L"a", 3, VK_DOWN, L"Drop"},
    {L"b", 0, VK_LEFT, L"Left"},
    {L"c", 2, VK_UP, L"Turn"},
    {L"d", 1, VK_RIGHT, L"Right"},
};

class KeySetupTest : public VelcoreTest {};

TEST_F(KeySetupTest, CaptureAssignsTheReleasedKeyRowByRow) {
  test_support::WorkArea handheld(RECT{0, 0, 240, 320});
  ASSERT_TRUE(handheld.Set());
  WriteShellButtons(kShellButtons);
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow owner;
  Register(owner.Hwnd(), kKeysPath);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);

  ModalDriver script({
      [&](HWND d) {
        wchar_t caption[32] = {};
        GetWindowTextW(d, caption, 32);
        EXPECT_STREQ(caption, L"Setup keys");
        RECT rect;
        GetWindowRect(d, &rect);
        EXPECT_TRUE(EqualRect(&rect, &work));
        ExpectFocusAndNoSelection(d);
        EXPECT_EQ(Column(d, 0), (Texts{L"Left", L"Right", L"Turn", L"Drop"}));
        EXPECT_EQ(Keys(d), (Texts{L"left arrow", L"right arrow", L"up arrow", L"down arrow"}));
        EXPECT_TRUE(StartEnabled(d));
        // Outside a capture the owner has let go of its buttons and the dialog holds none.
        EXPECT_FALSE(ButtonTaken(kButton1));
        ClickStart(d);
      },
      [&](HWND d) {
        ExpectFocusAndNoSelection(d);
        EXPECT_EQ(Keys(d), (Texts{L"PRESS KEY", L"right arrow", L"up arrow", L"down arrow"}));
        EXPECT_FALSE(StartEnabled(d));
        // During a capture every shell button is the dialog's, assigned or not.
        EXPECT_TRUE(HoldsButton(d, kButton1));
        EXPECT_TRUE(HoldsButton(d, kButton2));
        SendKey('A', false);
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d)[0], L"RELEASE KEY");
        SendKey('A', false);  // auto-repeat
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d), (Texts{L"RELEASE KEY", L"right arrow", L"up arrow", L"down arrow"}));
        SendKey('A', true);
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d), (Texts{L"A", L"PRESS KEY", L"up arrow", L"down arrow"}));
        PressAndRelease(VK_RETURN);  // a key like any other during a capture
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d), (Texts{L"A", L"enter", L"PRESS KEY", L"down arrow"}));
        PressAndRelease('A');  // moves A from the first row
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d), (Texts{L"<not assigned>", L"enter", L"A", L"PRESS KEY"}));
        SendKey('B', false);
        SendKey('C', false);
        SendKey('C', true);
      },
      [&](HWND d) {
        // B went down first, C came up: C is taken, and the capture has ended.
        ExpectFocusAndNoSelection(d);
        EXPECT_EQ(Keys(d), (Texts{L"<not assigned>", L"enter", L"A", L"C"}));
        EXPECT_TRUE(StartEnabled(d));
        EXPECT_FALSE(ButtonTaken(kButton1));
        EXPECT_FALSE(ButtonTaken(kButton2));
        SendKey('B', true);
        ClickStart(d);
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d)[0], L"PRESS KEY");
        PressAndRelease('D');
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d), (Texts{L"D", L"PRESS KEY", L"A", L"C"}));
        PressAndRelease(VK_LEFT);
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d), (Texts{L"D", L"left arrow", L"PRESS KEY", L"C"}));
        PressAndRelease('C');  // the key of the row below: it moves up
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d), (Texts{L"D", L"left arrow", L"C", L"PRESS KEY"}));
        PressButton(kButton1, false);
        PressButton(kButton1, true);
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d), (Texts{L"D", L"left arrow", L"C", L"Button 1"}));
        EXPECT_TRUE(StartEnabled(d));
        ClickStart(d);
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d)[0], L"PRESS KEY");
        PressAndRelease('C');
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d), (Texts{L"C", L"PRESS KEY", L"<not assigned>", L"Button 1"}));
        PressAndRelease(VK_LEFT);  // the key this row has already: it stays
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d), (Texts{L"C", L"left arrow", L"PRESS KEY", L"Button 1"}));
        SendKey('F', false);
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d)[2], L"RELEASE KEY");
        ExpectFocusAndNoSelection(d);
        CloseWithOk(d);  // the caption's OK, in the middle of a capture
      },
  });
  EXPECT_EQ(script.Run([&] { return KeySetupBox(owner.Hwnd()); }), 0);
  SendKey('F', true);
  Pump();

  // Everything assigned before OK is stored; the row being captured keeps its key.
  EXPECT_EQ(ReadCode(kKeysPath, L"b"), std::optional<DWORD>('C'));       // Left
  EXPECT_EQ(ReadCode(kKeysPath, L"d"), std::optional<DWORD>(VK_LEFT));   // Right
  EXPECT_EQ(ReadCode(kKeysPath, L"c"), std::optional<DWORD>(0));         // Turn
  EXPECT_EQ(ReadCode(kKeysPath, L"a"), std::optional<DWORD>(kButton1));  // Drop

  // The owner holds its mapped button again; the dialog's are gone with it.
  EXPECT_TRUE(HoldsButton(owner.Hwnd(), kButton1));
  EXPECT_FALSE(ButtonTaken(kButton2));
  owner.Take();
  SendMessageW(owner.Hwnd(), WM_HOTKEY, kButton1, 0);
  SendMessageW(owner.Hwnd(), WM_KEYDOWN, 'C', 0);
  EXPECT_EQ(owner.Take(),
            (std::vector<Seen>{{WM_KEYTARGET_DOWN, 3, 0}, {WM_KEYTARGET_DOWN, 0, 0}}));
  Unregister();
}

// F10 reaches a window as a system key: a capture takes it like any other, and the key pressed
// after it too, with no system menu opening in between.
TEST_F(KeySetupTest, CaptureTakesF10AndTheKeyAfterIt) {
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow owner;
  Register(owner.Hwnd(), kKeysPath);
  auto noMenu = [] { EXPECT_EQ(test_support::FindVisibleWindow(L"#32768"), nullptr); };
  ModalDriver script({
      [&](HWND d) { ClickStart(d); },
      [&](HWND d) {
        EXPECT_EQ(Keys(d)[0], L"PRESS KEY");
        PressAndRelease(VK_F10);
      },
      [&](HWND d) {
        noMenu();
        EXPECT_EQ(Keys(d)[1], L"PRESS KEY");
        PressAndRelease(VK_F9);
      },
      [&](HWND d) {
        noMenu();
        EXPECT_EQ(Keys(d)[2], L"PRESS KEY");
        CloseWithOk(d);
      },
  });
  EXPECT_EQ(script.Run([&] { return KeySetupBox(owner.Hwnd()); }), 0);
  EXPECT_EQ(ReadCode(kKeysPath, L"b"), std::optional<DWORD>(VK_F10));  // Left
  EXPECT_EQ(ReadCode(kKeysPath, L"d"), std::optional<DWORD>(VK_F9));   // Right
  Unregister();
}

TEST_F(KeySetupTest, ListShowsNamesAndKeysSortedById) {
  const std::wstring longest(255, L'n');
  const std::wstring tooLong(300, L'n');
  const std::wstring noRoom(256, L'n');  // exactly the buffer, without a terminator
  WriteShellButtons({{L"40C1", L"Button 1"}, {L"C4", L"Short"}, {L"40ZZ", L"Zed"}});
  const std::wstring shell = kShellKeysPath;
  // Value types are not checked: binary data stands for text, and brings no terminator.
  WriteValue(HKEY_LOCAL_MACHINE, shell + L"\\40C2", L"Name", REG_BINARY, L"Button 2", 16);
  WriteValue(HKEY_LOCAL_MACHINE, shell + L"\\40C3", L"Name", REG_SZ, noRoom.data(), 512);
  WriteKeyMap(kKeysPath, {
                             {L"a", INT_MAX, 0xE8, L"Last"},
                             {L"b", -1, 0, L"Unread id"},
                             {L"c", 0, VK_RETURN, L"Zero"},
                             {L"d", INT_MIN + 1, kButton1, L"First"},
                             {L"e", 5, std::nullopt, L"No code"},
                             {L"f", 6, kButton2, tooLong},
                             {L"g", 7, VK_UP, L""},
                             {L"h", 8, VK_DOWN, longest},
                             {L"i", 9, VK_LEFT, L""},
                             {L"j", 10, VK_RIGHT, L"Right"},
                             {L"k", 11, 0xC3, L"Button with a long name"},
                         });
  const std::wstring actions = std::wstring(kKeysPath);
  WriteValue(HKEY_CURRENT_USER, actions + L"\\g", L"Name", REG_BINARY, L"Jump", 8);
  WriteValue(HKEY_CURRENT_USER, actions + L"\\i", L"Name", REG_SZ, noRoom.data(), 512);
  RecorderWindow owner;
  Register(owner.Hwnd(), kKeysPath);

  ModalDriver script({[&](HWND d) {
    EXPECT_EQ(Column(d, 0), (Texts{L"First", L"Unread id", L"Zero", L"No code", L"", L"Jump",
                                   longest, L"", L"Right", L"Button with a long name", L"Last"}));
    EXPECT_EQ(Keys(d), (Texts{L"Button 1", L"<not assigned>", L"enter", L"key code 0xffffffff",
                              L"Button 2", L"up arrow", L"down arrow", L"left arrow",
                              L"right arrow", L"", L"key code 0xe8"}));
    HWND list = List(d);
    wchar_t heading[16];
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = heading;
    column.cchTextMax = 16;
    SendMessageW(list, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(heading, L"Action");
    SendMessageW(list, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(heading, L"Key");
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), client.right / 2);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), client.right - client.right / 2);
    CloseWithOk(d);
  }});
  EXPECT_EQ(script.Run([&] { return KeySetupBox(owner.Hwnd()); }), 0);
  Unregister();
}

// Keys that neither the shell's list nor the library names are shown by the keyboard's own name
// for them; its letter case is the keyboard layout's.
TEST_F(KeySetupTest, OtherKeysShowTheKeyboardsNameForThem) {
  struct Case {
    int32_t code;
    const wchar_t* name;
    bool exact;
  } cases[] = {
      {'A', L"A", true},
      {'7', L"7", true},
      {VK_SPACE, L"Space", false},
      {VK_HOME, L"Home", false},  // not the numeric pad's 7
      {VK_DELETE, L"Delete", false},
      {VK_F1, L"F1", true},
      {'B', L"Button B", true},  // the shell's name comes first
      {VK_LEFT, L"left arrow", true},
      {VK_RETURN, L"enter", true},
      {0xC1, L"key code 0xc1", true},  // no key of the keyboard
      {0xE8, L"key code 0xe8", true},
  };
  WriteShellButtons({{L"4042", L"Button B"}});
  std::vector<Action> actions;
  for (const auto& c : cases) {
    const int32_t id = static_cast<int32_t>(actions.size());
    actions.push_back({L"k" + std::to_wstring(id), id, c.code, L"Action"});
  }
  WriteKeyMap(kKeysPath, actions);
  RecorderWindow owner;
  Register(owner.Hwnd(), kKeysPath);
  ModalDriver script({[&](HWND d) {
    const Texts keys = Keys(d);
    ASSERT_EQ(keys.size(), std::size(cases));
    for (size_t i = 0; i < keys.size(); ++i) {
      const auto& c = cases[i];
      if (c.exact) {
        EXPECT_EQ(keys[i], c.name) << "code 0x" << std::hex << c.code;
      } else {
        EXPECT_EQ(lstrcmpiW(keys[i].c_str(), c.name), 0)
            << "code 0x" << std::hex << c.code << ": " << testing::PrintToString(keys[i]);
      }
    }
    CloseWithOk(d);
  }});
  EXPECT_EQ(script.Run([&] { return KeySetupBox(owner.Hwnd()); }), 0);
  Unregister();
}

TEST_F(KeySetupTest, RowsAreNeverSelected) {
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow owner;
  Register(owner.Hwnd(), kKeysPath);
  auto clickRow = [](HWND d, int row) {
    RECT rect = {LVIR_LABEL, 0, 0, 0};
    SendMessageW(List(d), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    ClickAt(CentreOf(List(d), rect));
  };
  ModalDriver script({
      [&](HWND d) {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(List(d), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
        ExpectFocusAndNoSelection(d);
        clickRow(d, 2);
      },
      [&](HWND d) {
        ExpectFocusAndNoSelection(d);
        ClickStart(d);
      },
      [&](HWND d) { clickRow(d, 3); },
      [&](HWND d) {
        // A tap during a capture neither selects nor takes the keys away from the dialog.
        ExpectFocusAndNoSelection(d);
        PressAndRelease('K');
      },
      [&](HWND d) {
        EXPECT_EQ(Keys(d)[0], L"K");
        ExpectFocusAndNoSelection(d);
        CloseWithOk(d);
      },
  });
  script.Run([&] { return KeySetupBox(owner.Hwnd()); });
  Unregister();
}

TEST_F(KeySetupTest, EmptyListEndsTheCaptureAtOnce) {
  WriteShellButtons(kShellButtons);
  struct Case {
    const char* name;
    bool registered;
  } cases[] = {{"nothing registered since the library was loaded", false},
               {"registered with a key map that is missing", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Unload();
    Load();
    RecorderWindow owner;
    if (c.registered) Register(owner.Hwnd(), kKeysPath);
    ModalDriver script({
        [&](HWND d) {
          EXPECT_EQ(Keys(d), Texts{});
          ClickStart(d);
        },
        [&](HWND d) {
          EXPECT_TRUE(StartEnabled(d));
          EXPECT_FALSE(ButtonTaken(kButton1));
          EXPECT_FALSE(ButtonTaken(kButton2));
          PressAndRelease('A');
        },
        [&](HWND d) { CloseWithOk(d); },
    });
    EXPECT_EQ(script.Run([&] { return KeySetupBox(owner.Hwnd()); }), 0);
    EXPECT_FALSE(ButtonTaken(kButton1));
    EXPECT_FALSE(ButtonTaken(kButton2));
    Unregister();
  }
}

TEST_F(KeySetupTest, NullPathKeepsTheChangesOutOfTheRegistry) {
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow owner;
  Register(owner.Hwnd(), kKeysPath);
  Unregister();
  Register(owner.Hwnd(), nullptr);  // the map of the last load stays, without its path
  ModalDriver script({
      [&](HWND d) { ClickStart(d); },
      [&](HWND) { PressAndRelease('Z'); },
      [&](HWND d) {
        EXPECT_EQ(Keys(d)[0], L"Z");
        CloseWithOk(d);
      },
  });
  script.Run([&] { return KeySetupBox(owner.Hwnd()); });
  EXPECT_EQ(ReadCode(kKeysPath, L"b"), std::optional<DWORD>(VK_LEFT));
  // The map in memory has the change.
  owner.Take();
  SendMessageW(owner.Hwnd(), WM_KEYDOWN, 'Z', 0);
  EXPECT_EQ(owner.Take(), (std::vector<Seen>{{WM_KEYTARGET_DOWN, 0, 0}}));
  Unregister();
}

// A Code value as stored: its type and bytes, or nothing when it is missing.
std::optional<std::pair<DWORD, std::vector<BYTE>>> RawCode(const std::wstring& subkey) {
  const auto value =
      test_support::ReadValue(HKEY_CURRENT_USER, std::wstring(kKeysPath) + L"\\" + subkey, L"Code");
  if (!value) return std::nullopt;
  return std::make_pair(value->type, value->bytes);
}

TEST_F(KeySetupTest, CodesThatWereNeverReadAreNotWrittenBack) {
  // "a" has no Code and "b" a hand-written text; neither can be read as a number.
  WriteKeyMap(kKeysPath, {{L"a", 0, std::nullopt, L"Left"},
                          {L"b", 1, std::nullopt, L"Right"},
                          {L"c", 2, VK_UP, L"Turn"}});
  const wchar_t text[] = L"39";
  WriteValue(HKEY_CURRENT_USER, std::wstring(kKeysPath) + L"\\b", L"Code", REG_SZ, text,
             sizeof text);
  const auto handWritten = RawCode(L"b");
  ASSERT_TRUE(handWritten);

  struct Case {
    const char* name;
    bool assignFirstRow;  // 'W' to "a", then OK in the middle of the capture
    std::optional<DWORD> codeOfA;
  } cases[] = {{"closed with OK, nothing changed", false, std::nullopt},
               {"a key assigned to the action without a Code", true, 'W'}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecorderWindow owner;
    Register(owner.Hwnd(), kKeysPath);
    std::vector<ModalDriver::Step> steps;
    if (c.assignFirstRow) {
      steps.push_back([&](HWND d) { ClickStart(d); });
      steps.push_back([&](HWND) { PressAndRelease('W'); });
    }
    steps.push_back([&](HWND d) { CloseWithOk(d); });
    ModalDriver script(steps);
    script.Run([&] { return KeySetupBox(owner.Hwnd()); });
    Unregister();
    EXPECT_EQ(ReadCode(kKeysPath, L"a"), c.codeOfA);
    EXPECT_EQ(RawCode(L"b"), handWritten);
    EXPECT_EQ(ReadCode(kKeysPath, L"c"), std::optional<DWORD>(VK_UP));
  }
}

TEST_F(KeySetupTest, OvercountedSubkeysAddNoRowsAndNoValues) {
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow owner;
  {
    SubkeyMiscount miscount(module_, 3);
    ASSERT_TRUE(miscount.Installed());
    Register(owner.Hwnd(), kKeysPath);
  }
  ModalDriver script({
      [&](HWND d) {
        EXPECT_EQ(Column(d, 0), (Texts{L"Left", L"Right", L"Turn", L"Drop"}));
        ClickStart(d);
      },
      [&](HWND) {
        for (WORD key : {'W', 'X', 'Y', 'Z'}) PressAndRelease(key);
      },
      [&](HWND d) {
        EXPECT_TRUE(StartEnabled(d));
        CloseWithOk(d);
      },
  });
  script.Run([&] { return KeySetupBox(owner.Hwnd()); });
  EXPECT_EQ(ReadCode(kKeysPath, L"b"), std::optional<DWORD>('W'));
  EXPECT_EQ(ReadCode(kKeysPath, L"a"), std::optional<DWORD>('Z'));
  // An entry without a subkey name must not write into the key map's own key.
  EXPECT_EQ(ReadCode(kTestsRoot, L"Keys"), std::nullopt);
  Unregister();
}

}  // namespace
