// ScoresBox through the real library: the list, the new row and its name, what is stored, and
// the publishing dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/win_support.h"
#include "tests/support/launch_stand_ins.h"
#include "tests/support/modal_driver.h"
#include "tests/support/work_area.h"
#include "tests/win/scores/test_key.h"
#include "velcore/interface/velcore.h"

namespace {

using namespace test_support;

constexpr int kList = 1006;
constexpr int kPublish = 1017;
constexpr wchar_t kPlaceholderName[] = L"<Enter name here>";

using Cells = std::vector<std::wstring>;

HWND List(HWND dialog) {
  return GetDlgItem(dialog, kList);
}
HWND Editor(HWND dialog) {
  return reinterpret_cast<HWND>(SendMessageW(List(dialog), LVM_GETEDITCONTROL, 0, 0));
}
int SelectedRow(HWND list) {
  return static_cast<int>(
      SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
void SetSelected(HWND list, int row, bool selected) {
  LVITEMW state = {};
  state.stateMask = LVIS_SELECTED;
  state.state = selected ? LVIS_SELECTED : 0;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}
HWND EditRow(HWND dialog, int row) {
  return reinterpret_cast<HWND>(SendMessageW(List(dialog), LVM_EDITLABELW, row, 0));
}
void Type(HWND editor, const std::wstring& text) {
  for (wchar_t c : text) SendMessageW(editor, WM_CHAR, c, 1);
}
void PressKey(HWND window, UINT key) {
  SendMessageW(window, WM_KEYDOWN, key, 1);
  SendMessageW(window, WM_KEYUP, key, 0xC0000001);
}
std::wstring ColumnTitle(HWND list, int column) {
  wchar_t text[32] = {};
  LVCOLUMNW info = {};
  info.mask = LVCF_TEXT;
  info.pszText = text;
  info.cchTextMax = 32;
  SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
  return text;
}
// Selects the row with the score and asks for its publishing dialog.
void PublishRow(HWND dialog, const wchar_t* score) {
  HWND list = List(dialog);
  const int row = RowWith(list, 1, score);
  ASSERT_GE(row, 0);
  SetSelected(list, row, true);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kPublish, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, kPublish)));
}
double OleNow() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  double date = 0;
  SystemTimeToVariantTime(&now, &date);
  return date;
}

class ScoresBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryW(kVelcoreLibraryName);
    ASSERT_NE(library_, nullptr);
    scoresBox_ = reinterpret_cast<ScoresBoxFn>(
        reinterpret_cast<void*>(GetProcAddress(library_, "ScoresBox")));
    ASSERT_NE(scoresBox_, nullptr);
  }
  void TearDown() override {
    if (library_) FreeLibrary(library_);
  }

  int Call(int32_t newScore, ModalDriver& driver, int32_t gameId = 83) {
    ScoresBoxInfo info = {
        sizeof info, GetModuleHandleW(nullptr), nullptr, gameId, key_.Path(), newScore, 10};
    return driver.Run([&] { return scoresBox_(&info); });
  }
  // Slot 0 is read first but ranks last.
  void WriteThree() {
    key_.WriteEntry(0, MakeEntry(L"Ann", 100, 45292.0));  // midnight
    key_.WriteEntry(1, MakeEntry(L"Bob", 300, 45292.5));  // noon
    key_.WriteEntry(2, MakeEntry(L"Cy", 200, 45293.25));
  }
  // Ten entries, the lowest 500 in slots 3 and 7.
  void WriteFull() {
    const int32_t scores[] = {900, 800, 700, 500, 600, 650, 750, 500, 850, 950};
    for (int n = 0; n < 10; ++n) {
      key_.WriteEntry(n, MakeEntry((L"P" + std::to_wstring(n)).c_str(), scores[n]));
    }
  }

  TestKey key_;
  HMODULE library_ = nullptr;
  ScoresBoxFn scoresBox_ = nullptr;
};

TEST_F(ScoresBoxTest, WithoutNewScoreShowsTheRankedTableReadOnly) {
  WriteThree();
  const auto stored = key_.Values();
  ModalDriver driver({
      [](HWND dialog) {
        HWND list = List(dialog);
        EXPECT_EQ(WindowText(dialog), L"Scores");
        EXPECT_EQ(ColumnTitle(list, 0), L"Name");
        EXPECT_EQ(ColumnTitle(list, 1), L"Score");
        EXPECT_EQ(ColumnTitle(list, 2), L"Date");
        EXPECT_EQ(ColumnCells(list, 0), (Cells{L"Bob", L"Cy", L"Ann"}));
        EXPECT_EQ(ColumnCells(list, 1), (Cells{L"300", L"200", L"100"}));
        const std::wstring midnight = ListViewText(list, 2, 2);
        const std::wstring noon = ListViewText(list, 0, 2);
        EXPECT_NE(midnight.find(L"2024"), std::wstring::npos) << midnight;
        EXPECT_EQ(midnight.find(L':'), std::wstring::npos) << midnight;
        EXPECT_NE(noon.find(L':'), std::wstring::npos) << noon;
        // The first entry read is selected, so publishing is offered at once.
        EXPECT_EQ(SelectedRow(list), 2);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kPublish)));
        EXPECT_EQ(Editor(dialog), nullptr);
        for (int row = 0; row < 3; ++row) EXPECT_EQ(EditRow(dialog, row), nullptr) << row;
        SetSelected(list, 2, false);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kPublish)));
        SetSelected(list, 1, true);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kPublish)));
        // Neither an IDOK from a control nor a cancel closes it.
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(list));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ASSERT_TRUE(IsWindowVisible(dialog));
        SendMessageW(dialog, WM_CLOSE, 0, 0);  // the close box: OK
      },
  });
  // The dialog was closed by its OK, and OK without a new score is still 0.
  EXPECT_EQ(Call(0, driver), 0);
  EXPECT_EQ(key_.Values(), stored);
}

// What a full table of long names looks like in the list: whether every column shows its texts
// whole inside the list, and every row stands inside it, with no scroll bar.
struct TableView {
  bool columnsWhole = true;
  bool rowsWhole = true;
  bool scrollBars = false;
};

TableView ViewOf(HWND list) {
  TableView view;
  RECT client = {};
  GetClientRect(list, &client);
  const LONG style = GetWindowLongW(list, GWL_STYLE);
  view.scrollBars = (style & (WS_HSCROLL | WS_VSCROLL)) != 0;
  int right = 0;
  for (int column = 0; column < 3; ++column) {
    const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    right += width;
    for (int row = 0; row < RowCount(list); ++row) {
      const std::wstring text = ListViewText(list, row, column);
      const int textWidth = static_cast<int>(
          SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
      // The list leaves a margin on each side of a cell's text and cuts off what overruns it.
      constexpr int kCellMargins = 12;
      if (textWidth + kCellMargins > width) view.columnsWhole = false;
    }
  }
  if (right > client.right) view.columnsWhole = false;
  for (int row = 0; row < RowCount(list); ++row) {
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
    if (bounds.top < 0 || bounds.bottom > client.bottom) view.rowsWhole = false;
  }
  return view;
}

TEST_F(ScoresBoxTest, ADesktopShowsAFullTableWholeAHandheldScrollsToTheDate) {
  for (int n = 0; n < 10; ++n) {
    // 25 characters, the most a name holds, of wide letters.
    const std::wstring name = L"Wilhelmina Westwood-Wolf" + std::to_wstring(n);
    key_.WriteEntry(n, MakeEntry(name.c_str(), 1000000 + n));
  }
  struct Case {
    const char* name;
    RECT area;
    bool whole;
  } cases[] = {
      {"1024 x 768", {0, 0, 1024, 768}, true},
      {"240 x 320", {0, 0, 240, 320}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WorkArea area(c.area);
    ASSERT_TRUE(area.Set());
    TableView view;
    RECT dialogRect = {};
    ModalDriver driver({[&](HWND dialog) {
      EXPECT_EQ(RowCount(List(dialog)), 10);
      view = ViewOf(List(dialog));
      GetWindowRect(dialog, &dialogRect);
      SendMessageW(dialog, WM_CLOSE, 0, 0);
    }});
    EXPECT_EQ(Call(0, driver), 0);
    EXPECT_EQ(view.columnsWhole, c.whole);
    if (c.whole) {
      EXPECT_TRUE(view.rowsWhole);
    }
    EXPECT_EQ(view.scrollBars, !c.whole);
    EXPECT_GE(dialogRect.left, c.area.left);
    EXPECT_GE(dialogRect.top, c.area.top);
    EXPECT_LE(dialogRect.right, c.area.right);
    EXPECT_LE(dialogRect.bottom, c.area.bottom);
  }
}

TEST_F(ScoresBoxTest, EmptyTableShowsAnEmptyListWithPublishingOff) {
  ModalDriver driver({[](HWND dialog) {
    EXPECT_EQ(RowCount(List(dialog)), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kPublish)));
    CloseWithOk(dialog);
  }});
  EXPECT_EQ(Call(0, driver), 0);
  EXPECT_FALSE(key_.Exists());
}

TEST_F(ScoresBoxTest, ScoreTooLowForAFullTableOpensNoWindow) {
  WriteFull();
  const auto stored = key_.Values();
  for (int32_t score : {499, -5}) {
    SCOPED_TRACE(score);
    ModalDriver driver({});
    EXPECT_EQ(Call(score, driver), 0);
    EXPECT_EQ(driver.WindowsCreated(), 0);
  }
  EXPECT_EQ(key_.Values(), stored);
}

TEST_F(ScoresBoxTest, ScoreEqualToTheLowestTakesSlotThreeAndIsNamed) {
  WriteFull();
  const double before = OleNow();
  ModalDriver driver({
      [](HWND dialog) {
        HWND list = List(dialog);
        ASSERT_EQ(RowCount(list), 10);
        const Cells names = ColumnCells(list, 0);
        EXPECT_EQ(std::count(names.begin(), names.end(), L"P3"), 0);  // replaced
        EXPECT_EQ(std::count(names.begin(), names.end(), L"P7"), 1);
        const int row = RowWith(list, 0, kPlaceholderName);
        ASSERT_GE(row, 0);
        EXPECT_EQ(ListViewText(list, row, 1), L"500");
        HWND editor = Editor(dialog);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(WindowText(editor), kPlaceholderName);
        EXPECT_EQ(SendMessageW(editor, EM_GETLIMITTEXT, 0, 0), 25);
        SendMessageW(editor, EM_SETSEL, 0, -1);
        Type(editor, L"Zed");
        PressKey(editor, VK_RETURN);
      },
      [](HWND dialog) {
        EXPECT_EQ(Editor(dialog), nullptr);
        const int row = RowWith(List(dialog), 0, L"Zed");
        ASSERT_GE(row, 0);
        EXPECT_EQ(ListViewText(List(dialog), row, 1), L"500");
        CloseWithOk(dialog);
      },
  });
  EXPECT_EQ(Call(500, driver), 1);
  const double after = OleNow();

  const auto slot3 = key_.ReadEntry(3);
  ASSERT_TRUE(slot3);
  EXPECT_EQ(std::wstring(slot3->name), L"Zed");
  EXPECT_EQ(slot3->score, 500);
  const double second = 1.0 / 86400;
  EXPECT_GE(slot3->date, before - second);
  EXPECT_LE(slot3->date, after + second);
  for (int n = 0; n < 10; ++n) {
    if (n == 3) continue;
    ASSERT_TRUE(key_.ReadEntry(n)) << n;
    EXPECT_EQ(std::wstring(key_.ReadEntry(n)->name), L"P" + std::to_wstring(n));
  }
}

// The table shown was read when the game ended; what another program stores or removes while
// the name is typed must be what OK saves against.
TEST_F(ScoresBoxTest, OkSavesAgainstWhatIsStoredThen) {
  using Stored = std::vector<std::pair<std::wstring, int32_t>>;
  struct Case {
    const char* name;
    std::function<void(const TestKey&)> meanwhile;
    int result;
    Stored stored;  // sorted by name
  } cases[] = {
      {"a better record written in the next free number",
       [](const TestKey& key) { key.WriteEntry(3, MakeEntry(L"Eve", 400)); },
       1,
       {{L"Ann", 100}, {L"Bob", 300}, {L"Cy", 200}, {L"Eve", 400}, {L"Neu", 250}}},
      {"a record overwritten",
       [](const TestKey& key) { key.WriteEntry(1, MakeEntry(L"Dan", 350)); },
       1,
       {{L"Ann", 100}, {L"Cy", 200}, {L"Dan", 350}, {L"Neu", 250}}},
      {"a record deleted",
       [](const TestKey& key) {
         HKEY raw = nullptr;
         ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key.Path(), 0, KEY_SET_VALUE, &raw),
                   ERROR_SUCCESS);
         RegDeleteValueW(raw, L"0");
         RegCloseKey(raw);
       },
       1,
       {{L"Bob", 300}, {L"Cy", 200}, {L"Neu", 250}}},
      {"the key deleted", [](const TestKey& key) { key.Clear(); }, 1, {{L"Neu", 250}}},
      {"the table filled with better scores",
       [](const TestKey& key) {
         for (int n = 0; n < 10; ++n) key.WriteEntry(n, MakeEntry(L"Top", 1000 + n));
       },
       0, Stored(10, {L"Top", 0})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    key_.Clear();
    WriteThree();
    ModalDriver driver({[&](HWND dialog) {
      c.meanwhile(key_);
      HWND editor = Editor(dialog);
      ASSERT_NE(editor, nullptr);
      SendMessageW(editor, EM_SETSEL, 0, -1);
      Type(editor, L"Neu");
      CloseWithOk(dialog);
    }});
    EXPECT_EQ(Call(250, driver), c.result);
    Stored stored;
    for (int n = 0; n < 10; ++n) {
      if (const auto entry = key_.ReadEntry(n)) {
        const bool top = std::wstring(entry->name) == L"Top";  // their scores do not matter
        stored.emplace_back(entry->name, top ? 0 : entry->score);
      }
    }
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, c.stored);
  }
}

TEST_F(ScoresBoxTest, NameStopsAt25Characters) {
  const std::wstring typed = L"abcdefghijklmnopqrstuvwxyz0123";  // 30
  const std::wstring kept = typed.substr(0, 25);
  struct Case {
    const char* name;
    bool throughTheEditorsText;  // WM_SETTEXT passes the typing limit
  } cases[] = {{"typed", false}, {"handed back longer", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    key_.Clear();
    WriteThree();
    ModalDriver driver({
        [&](HWND dialog) {
          HWND list = List(dialog);
          ASSERT_EQ(RowCount(list), 4);
          EXPECT_EQ(ListViewText(list, 3, 0), kPlaceholderName);  // ranked last
          HWND editor = Editor(dialog);
          ASSERT_NE(editor, nullptr);
          SendMessageW(editor, EM_SETSEL, 0, -1);
          if (c.throughTheEditorsText) {
            SetWindowTextW(editor, typed.c_str());
            EXPECT_EQ(WindowText(editor), typed);
          } else {
            Type(editor, typed);
            EXPECT_EQ(WindowText(editor), kept);
          }
          PressKey(editor, VK_RETURN);
        },
        [&](HWND dialog) {
          EXPECT_EQ(ListViewText(List(dialog), 3, 0), kept);
          CloseWithOk(dialog);
        },
    });
    EXPECT_EQ(Call(1, driver), 1);
    const auto entry = key_.ReadEntry(3);
    ASSERT_TRUE(entry);
    EXPECT_EQ(std::wstring(entry->name), kept);
    EXPECT_EQ(entry->name[25], 0);
    EXPECT_EQ(entry->score, 1);
  }
}

// Keys that reach the untouched placeholder before any typing (a drop key still held when the
// game ended, arrows, Home) do not keep it: the first character typed replaces it whole.
TEST_F(ScoresBoxTest, FirstTypedCharacterReplacesTheUntouchedPlaceholder) {
  const struct {
    const char* name;
    std::vector<WPARAM> keys;
    bool repeats;
  } kCases[] = {
      {"nothing", {}, false},
      {"Down", {VK_DOWN}, false},
      {"Down held", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN}, true},
      {"arrows", {VK_LEFT, VK_RIGHT, VK_RIGHT}, false},
      {"Home", {VK_HOME}, false},
      {"End then Home", {VK_END, VK_HOME}, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    key_.Clear();
    ModalDriver driver({
        [&](HWND dialog) {
          HWND editor = Editor(dialog);
          ASSERT_NE(editor, nullptr);
          for (size_t i = 0; i < c.keys.size(); ++i) {
            const LPARAM repeat = c.repeats && i > 0 ? LPARAM{1} << 30 : 0;
            SendMessageW(editor, WM_KEYDOWN, c.keys[i], 1 | repeat);
          }
          Type(editor, L"Bob");
          EXPECT_EQ(WindowText(editor), L"Bob");
          // Later keys edit the name as usual.
          PressKey(editor, VK_HOME);
          Type(editor, L"A");
          PressKey(editor, VK_RETURN);
        },
        [](HWND dialog) { CloseWithOk(dialog); },
    });
    EXPECT_EQ(Call(7, driver), 1);
    const auto entry = key_.ReadEntry(0);
    ASSERT_TRUE(entry);
    EXPECT_EQ(std::wstring(entry->name), L"ABob");
  }
}

TEST_F(ScoresBoxTest, OkWithoutTypingStoresThePlaceholderName) {
  ModalDriver driver({[](HWND dialog) {
    ASSERT_NE(Editor(dialog), nullptr);
    CloseWithOk(dialog);
  }});
  EXPECT_EQ(Call(42, driver), 1);
  const auto entry = key_.ReadEntry(0);
  ASSERT_TRUE(entry);
  EXPECT_EQ(std::wstring(entry->name), kPlaceholderName);
  EXPECT_EQ(entry->score, 42);
  EXPECT_EQ(key_.ValueNames().size(), 1u);
}

TEST_F(ScoresBoxTest, AKeyAllowingOnlyValueReadsAndWritesTakesTheNewEntry) {
  ASSERT_TRUE(key_.AllowOnlyValueReadsAndWrites());
  ModalDriver driver({[](HWND dialog) { CloseWithOk(dialog); }});
  EXPECT_EQ(Call(42, driver), 1);
  const auto entry = key_.ReadEntry(0);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->score, 42);
}

// Without the system's date conversions the new score still goes in, undated, and the dates of
// the table show blank.
TEST_F(ScoresBoxTest, WithoutTheDateConversionsScoresGoInUndated) {
  key_.WriteEntry(0, MakeEntry(L"Older", 900, 45292.0));
  test_support::HiddenFunctions hidden(
      library_, {"SystemTimeToVariantTime", "VariantChangeType", "VariantClear"});
  ASSERT_TRUE(hidden.Installed());
  ModalDriver driver({[](HWND dialog) {
    HWND list = List(dialog);
    const int row = RowWith(list, 0, L"Older");
    ASSERT_GE(row, 0);
    EXPECT_EQ(ListViewText(list, row, 2), L"");
    CloseWithOk(dialog);
  }});
  EXPECT_EQ(Call(42, driver), 1);
  EXPECT_GT(hidden.Refused(), 0);
  bool stored = false;
  for (int slot = 0; slot < 10; ++slot) {
    const auto entry = key_.ReadEntry(slot);
    if (!entry || entry->score != 42) continue;
    stored = true;
    EXPECT_EQ(entry->date, 0.0);
  }
  EXPECT_TRUE(stored);
}

TEST_F(ScoresBoxTest, OnlyTheNewRowIsEditable) {
  WriteThree();
  ModalDriver driver({
      [](HWND dialog) {
        HWND editor = Editor(dialog);
        ASSERT_NE(editor, nullptr);
        Type(editor, L"discarded");
        PressKey(editor, VK_ESCAPE);  // cancelled: the name stays
      },
      [](HWND dialog) {
        HWND list = List(dialog);
        EXPECT_EQ(Editor(dialog), nullptr);
        const int fresh = RowWith(list, 0, kPlaceholderName);
        ASSERT_EQ(fresh, 1);  // 300, 250, 200, 100
        for (int row : {0, 2, 3}) EXPECT_EQ(EditRow(dialog, row), nullptr) << row;
        HWND editor = EditRow(dialog, fresh);  // the new row reopens as often as wanted
        ASSERT_NE(editor, nullptr);
        SendMessageW(editor, EM_SETSEL, 0, -1);
        Type(editor, L"Q");
        PressKey(editor, VK_RETURN);
      },
      [](HWND dialog) { CloseWithOk(dialog); },
  });
  EXPECT_EQ(Call(250, driver), 1);
  const int32_t scores[] = {100, 300, 200, 250};
  const wchar_t* names[] = {L"Ann", L"Bob", L"Cy", L"Q"};
  for (int n = 0; n < 4; ++n) {
    const auto entry = key_.ReadEntry(n);
    ASSERT_TRUE(entry) << n;
    EXPECT_EQ(entry->score, scores[n]);
    EXPECT_EQ(std::wstring(entry->name), names[n]);
  }
}

TEST_F(ScoresBoxTest, NegativeScoreEntersATableWithRoomShownUnsignedRankedLast) {
  WriteThree();
  ModalDriver driver({[](HWND dialog) {
    HWND list = List(dialog);
    EXPECT_EQ(ColumnCells(list, 1), (Cells{L"300", L"200", L"100", L"4294967291"}));
    CloseWithOk(dialog);
  }});
  EXPECT_EQ(Call(-5, driver), 1);
  ASSERT_TRUE(key_.ReadEntry(3));
  EXPECT_EQ(key_.ReadEntry(3)->score, -5);
}

TEST_F(ScoresBoxTest, WithoutAPathTheRootOfTheUserTreeIsLeftAlone) {
  // Canaries where a table at the root would be: two entries and texts in "2" to "9", which a
  // save at the root would delete.
  key_.WriteEntry(0, MakeEntry(L"Ann", 100));
  key_.WriteEntry(1, MakeEntry(L"Bob", 300));
  for (int n = 2; n < 10; ++n) {
    const std::wstring canary = L"canary " + std::to_wstring(n);
    key_.Write(std::to_wstring(n).c_str(), REG_SZ, canary.c_str(),
               static_cast<DWORD>((canary.size() + 1) * sizeof(wchar_t)));
  }
  const auto canaries = key_.Values();
  for (const wchar_t* path : {static_cast<const wchar_t*>(nullptr), L""}) {
    SCOPED_TRACE(path ? "empty path" : "null path");
    int result = -1;
    {
      test_support::RootOverride root(key_.Path());
      ASSERT_TRUE(root.Active());
      ModalDriver driver({[](HWND dialog) {
        EXPECT_EQ(ColumnCells(List(dialog), 1), Cells{L"42"});  // nothing read
        CloseWithOk(dialog);
      }});
      ScoresBoxInfo info = {sizeof info, GetModuleHandleW(nullptr), nullptr, 83, path, 42, 10};
      result = driver.Run([&] { return scoresBox_(&info); });
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(key_.Values(), canaries);
  }
}

TEST_F(ScoresBoxTest, PublishShowsTheCodeOfTheSelectedRow) {
  key_.WriteEntry(0, MakeEntry(L"One", 7));
  key_.WriteEntry(1, MakeEntry(L"Two", 1234));
  HWND scores = nullptr;
  auto publishRow = [&](const wchar_t* score) {
    return [&scores, score](HWND dialog) {
      scores = dialog;
      PublishRow(dialog, score);
    };
  };
  auto expectCode = [&](const wchar_t* code) {
    return [&scores, code](HWND dialog) {
      ASSERT_NE(dialog, scores);
      EXPECT_EQ(WindowText(dialog), L"Publish score");
      EXPECT_EQ(WindowText(GetDlgItem(dialog, 1004)), code);
      HWND link = GetDlgItem(dialog, 1010);
      EXPECT_EQ(ClassOf(link), L"WTL_HyperLink");
      EXPECT_EQ(GetWindowLongPtrW(link, GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
      EXPECT_TRUE(IsWindowVisible(link));
      // An IDOK from a control does not close it either.
      SendMessageW(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(link));
      EXPECT_TRUE(IsWindowVisible(dialog));
      CloseWithOk(dialog);
    };
  };
  ModalDriver driver({
      publishRow(L"1234"),
      expectCode(L"amlqY2Jpa2hpbg=="),  // 0309831234
      publishRow(L"7"),                 // the scores dialog stays open
      expectCode(L"amtsaGJpbQ=="),
      [&](HWND dialog) {
        EXPECT_EQ(dialog, scores);
        CloseWithOk(dialog);
      },
  });
  EXPECT_EQ(Call(0, driver), 0);
}

TEST_F(ScoresBoxTest, PublishingFollowsTheGameNumbersRange) {
  key_.WriteEntry(0, MakeEntry(L"One", 34));
  struct Case {
    int32_t gameId;
    const wchar_t* code;  // null: no code, publishing stays off
  } cases[] = {
      {0, L"amtjY2pqaW4="}, {9, L"amhqYmpjaW4="}, {83, L"amhramJpaW4="}, {99, L"amhrbWNjaW4="},
      {100, nullptr},       {123, nullptr},       {-1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gameId);
    std::wstring shown;
    HWND scores = nullptr;
    std::vector<ModalDriver::Step> steps = {[&](HWND dialog) {
      scores = dialog;
      ASSERT_EQ(SelectedRow(List(dialog)), 0);
      EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, kPublish)) != 0, c.code != nullptr);
      // Even a click that reaches the dialog opens nothing for a number without a code.
      PublishRow(dialog, L"34");
    }};
    if (c.code) {
      steps.push_back([&](HWND dialog) {
        ASSERT_NE(dialog, scores);
        shown = WindowText(GetDlgItem(dialog, 1004));
        CloseWithOk(dialog);
      });
    }
    steps.push_back([&](HWND dialog) {
      EXPECT_EQ(dialog, scores) << "a publishing dialog opened";
      CloseWithOk(dialog);
    });
    ModalDriver driver(std::move(steps));
    EXPECT_EQ(Call(0, driver, c.gameId), 0);
    EXPECT_EQ(shown, c.code ? c.code : L"");
  }
}

// Enter goes through the publishing dialog's own loop, as a typed key does.
TEST_F(ScoresBoxTest, PublishLinkOpensTheWebAddressWhereTheHandheldsBrowserIsMissing) {
  key_.WriteEntry(0, MakeEntry(L"One", 7));
  AddressHandlers handlers;
  HWND publish = nullptr;
  ModalDriver driver({
      [](HWND dialog) { PublishRow(dialog, L"7"); },
      [&](HWND dialog) {
        publish = dialog;
        HWND link = GetDlgItem(dialog, 1010);
        SetFocus(link);
        ASSERT_EQ(GetFocus(), link);
        PostKeyPress(link, VK_RETURN);
      },
      [&](HWND dialog) {
        EXPECT_EQ(dialog, publish) << "the publishing dialog closed";
        CloseWithOk(dialog);
      },
      [](HWND dialog) { CloseWithOk(dialog); },
  });
  EXPECT_EQ(Call(0, driver), 0);
  const auto commandLine = handlers.WaitForLog();
  ASSERT_TRUE(commandLine);
  EXPECT_TRUE(commandLine->ends_with(" \"http://www.velmora-games.example/\"")) << *commandLine;
}

}  // namespace
