// The main frame in this process, with this test program standing in for velcore: its exports
// record what the frame hands the library.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <mmsystem.h>
#include <set>
#include <string>
#include <vector>

#include "shell/frame_placement.h"
#include "shell/label_font.h"
#include "shell/layout.h"
#include "shell/main_frame.h"
#include "shell/res/resource.h"
#include "shell/velcore_library.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/modal_driver.h"
#include "tests/support/registry_values.h"
#include "tests/support/win_support.h"
#include "tests/support/work_area.h"
#include "velcore/interface/velcore.h"

namespace {

struct LibraryLog {
  std::vector<KeyTargetInfo> registered;
  std::vector<std::wstring> registeredPaths;
  bool menuBarAtRegister = false;
  int unregistered = 0;
  bool boardAtUnregister = false;
  std::vector<ScoresBoxInfo> scores;
  std::vector<std::wstring> scorePaths;
  std::vector<bool> pausedInScores;
  int scoresResult = 0;
  const MainFrame* frame = nullptr;
} g_log;

}  // namespace

extern "C" __declspec(dllexport) int WINAPI RegisterKeyTarget(const KeyTargetInfo* info) {
  g_log.registered.push_back(*info);
  g_log.registeredPaths.push_back(info->keysPath ? info->keysPath : L"");
  g_log.menuBarAtRegister = FindWindowExW(info->target, nullptr, L"menu_worker", nullptr);
  return 0;
}

extern "C" __declspec(dllexport) int WINAPI UnregisterKeyTarget(int) {
  ++g_log.unregistered;
  g_log.boardAtUnregister =
      g_log.frame && g_log.frame->Hwnd() &&
      FindWindowExW(g_log.frame->Hwnd(), nullptr, L"GravlinBoardCE", nullptr) != nullptr;
  return 0;
}

extern "C" __declspec(dllexport) int WINAPI ScoresBox(const ScoresBoxInfo* info) {
  g_log.scores.push_back(*info);
  g_log.scorePaths.push_back(info->keyPath ? info->keyPath : L"");
  g_log.pausedInScores.push_back(g_log.frame && g_log.frame->Game().IsPaused());
  return g_log.scoresResult;
}

namespace {

using test_support::WindowText;

std::vector<HWND> Labels(HWND frame) {
  return test_support::ChildrenOfClass(frame, L"Static");
}

RECT ChildRect(HWND parent, HWND child) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
  if (EqualRect(&a, &b)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << Describe(a) << " is not " << Describe(b);
}
::testing::AssertionResult SameRect(const RECT& a, const LayoutRect& b) {
  return SameRect(a, ToRect(b));
}

HFONT LabelFontOf(HWND label) {
  return reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
}

// The dialog or message box that an action showed, answered by a script and closed.
struct DialogAnswer {
  HWND seen = nullptr;
  HWND owner = nullptr;
  std::wstring title;
  std::wstring text;  // a message box's text
  bool pausedMeanwhile = false;
};

// Runs act; the dialog it shows is recorded, handed to script and closed with its OK. Where
// `shows` is false the driver fails the test when one turns up.
DialogAnswer Answer(const std::function<void()>& act, const std::function<void(HWND)>& script = {},
                    bool shows = true) {
  DialogAnswer answer;
  std::vector<test_support::ModalDriver::Step> steps;
  if (shows) {
    steps.push_back([&](HWND dialog) {
      answer.seen = dialog;
      answer.owner = GetWindow(dialog, GW_OWNER);
      answer.title = WindowText(dialog);
      wchar_t text[128] = {};
      GetDlgItemTextW(dialog, 0xFFFF, text, 128);
      answer.text = text;
      answer.pausedMeanwhile = g_log.frame && g_log.frame->Game().IsPaused();
      if (script) script(dialog);
      if (IsWindow(dialog)) test_support::CloseWithOk(dialog);
    });
  }
  test_support::ModalDriver driver(std::move(steps));
  driver.Run(act);
  return answer;
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = {};
    RegDeleteTreeW(HKEY_CURRENT_USER, kOptionsPath);
    SetVelcoreLibrary(GetModuleHandleW(nullptr));
  }
  void TearDown() override {
    frame_.reset();
    SetVelcoreLibrary(nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, kOptionsPath);
    DrainQuit();
  }
  HWND Start(const RECT& workArea = RECT{0, 0, 240, 320}) {
    frame_ = std::make_unique<MainFrame>();
    g_log.frame = frame_.get();
    HWND hwnd = frame_->Create(GetModuleHandleW(nullptr), workArea);
    SetForegroundWindow(hwnd);
    return hwnd;
  }
  // A destroyed frame leaves WM_QUIT behind, which would end the next modal loop at once.
  static bool DrainQuit() {
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = msg.wParam == 0;
      } else {
        DispatchMessageW(&msg);
      }
    }
    return quit;
  }
  void Command(int id) { SendMessageW(frame_->Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  // The player's Exit, and the frame gone with its window, ready for the next start.
  void Exit() {
    Command(IDM_EXIT);
    DrainQuit();
    frame_.reset();
  }
  uint32_t Flags() const { return frame_->Game().Flags(); }

  std::unique_ptr<MainFrame> frame_;
};

TEST_F(FrameTest, CreationBuildsTheWindowAndStartsAGame) {
  HWND hwnd = Start();
  ASSERT_NE(hwnd, nullptr);
  wchar_t name[32] = {};
  GetClassNameW(hwnd, name, 32);
  EXPECT_STREQ(name, L"GravlinCE");
  EXPECT_EQ(WindowText(hwnd), L"Talvenor");
  EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_WINDOWEDGE);
  EXPECT_EQ(GetParent(hwnd), nullptr);

  ASSERT_EQ(g_log.registered.size(), 1u);
  EXPECT_EQ(g_log.registered[0].size, sizeof(KeyTargetInfo));
  EXPECT_EQ(g_log.registered[0].target, hwnd);
  EXPECT_EQ(g_log.registeredPaths[0], L"Software\\Velmora\\Gravlin\\Keys");
  EXPECT_FALSE(g_log.menuBarAtRegister);

  std::vector<std::wstring> texts;
  for (HWND label : Labels(hwnd)) texts.push_back(WindowText(label));
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"Level", L"1", L"Score", L"0", L"Rows", L"0"}));
  EXPECT_TRUE(Flags() & Running);
  EXPECT_FALSE(Flags() & Paused);

  // The real menu bar: "Extras" opening the menu, and the pause button with the pause image.
  HWND toolbar = FindWindowExW(frame_->MenuBar(), nullptr, TOOLBARCLASSNAMEW, nullptr);
  ASSERT_NE(toolbar, nullptr);
  ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 2);
  TBBUTTON extras = {}, pause = {};
  SendMessageW(toolbar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&extras));
  SendMessageW(toolbar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&pause));
  EXPECT_EQ(extras.idCommand, IDM_EXTRAS);
  EXPECT_EQ(extras.iBitmap, I_IMAGENONE);
  EXPECT_TRUE(extras.fsStyle & BTNS_DROPDOWN);
  wchar_t text[32] = {};
  SendMessageW(toolbar, TB_GETBUTTONTEXTW, IDM_EXTRAS, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Extras");
  EXPECT_EQ(pause.idCommand, IDM_PAUSE);
  EXPECT_EQ(pause.iBitmap, 0);

  // The empty bottom of the well shows the speckled stone texture from the program's resources,
  // not one flat colour.
  HWND board = FindWindowExW(hwnd, nullptr, L"GravlinBoardCE", nullptr);
  ASSERT_NE(board, nullptr);
  UpdateWindow(board);
  RECT well = {};
  GetClientRect(board, &well);
  HDC dc = GetDC(board);
  std::set<COLORREF> shades;
  for (int y = well.bottom - 30; y < well.bottom - 10; ++y) {
    for (int x = 10; x < 40; ++x) shades.insert(GetPixel(dc, x, y));
  }
  ReleaseDC(board, dc);
  EXPECT_GT(shades.size(), 10u);
}

TEST_F(FrameTest, ChildrenFollowTheLayout) {
  HWND hwnd = Start();
  ASSERT_NE(hwnd, nullptr);
  RECT client = {}, bar = {};
  GetClientRect(hwnd, &client);
  GetWindowRect(frame_->MenuBar(), &bar);
  const FrameLayout expected =
      ComputeLayout(ToLayoutRect(client), bar.bottom - bar.top, MeasureTextHeight(hwnd));
  // The menu bar sits below the play area.
  EXPECT_EQ(ChildRect(hwnd, frame_->MenuBar()).bottom, client.bottom);
  EXPECT_TRUE(SameRect(ChildRect(hwnd, FindWindowExW(hwnd, nullptr, L"GravlinBoardCE", nullptr)),
                       expected.board));
  EXPECT_TRUE(SameRect(ChildRect(hwnd, FindWindowExW(hwnd, nullptr, L"GravlinPreviewCE", nullptr)),
                       expected.preview));
  const auto labels = Labels(hwnd);
  ASSERT_EQ(labels.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(SameRect(ChildRect(hwnd, labels[i]), expected.labels[i]));
    // SS_CENTER is one value of the type field, not a flag: SS_ICON and SS_SIMPLE share its bit.
    EXPECT_EQ(GetWindowLongPtrW(labels[i], GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    EXPECT_EQ(LabelFontOf(labels[i]), nullptr) << "the system font";
  }
}

TEST_F(FrameTest, StoredLevelStartsTheGame) {
  Settings stored;
  stored.InitialLevel = 4;
  stored.PlaySound = 0;
  WriteSettings(stored);
  HWND hwnd = Start();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(frame_->Game().Level(), 4);
  EXPECT_EQ(WindowText(Labels(hwnd)[1]), L"5");
  EXPECT_FALSE(frame_->CurrentSettings().PlaySound);
}

TEST_F(FrameTest, PauseNewGameAndButtons) {
  ASSERT_NE(Start(), nullptr);
  Command(IDM_PAUSE);
  EXPECT_TRUE(Flags() & Paused);
  Command(IDM_PAUSE);
  EXPECT_FALSE(Flags() & Paused);
  Command(IDM_PAUSE);
  Command(IDM_NEW_GAME);  // a paused game is replaced by a running one
  EXPECT_TRUE(Flags() & Running);
  EXPECT_FALSE(Flags() & Paused);

  HWND hwnd = frame_->Hwnd();
  SendMessageW(hwnd, WM_KEYTARGET_DOWN, 7, 0);  // no such action: holds the button all the same
  EXPECT_TRUE(Flags() & ButtonHeld);
  SendMessageW(hwnd, WM_KEYTARGET_DOWN, ActionDrop, 0);
  EXPECT_FALSE(Flags() & Dropping);
  SendMessageW(hwnd, WM_KEYTARGET_UP, 3, 0);
  EXPECT_FALSE(Flags() & ButtonHeld);
  SendMessageW(hwnd, WM_KEYTARGET_DOWN, ActionDrop, 0);
  EXPECT_TRUE(Flags() & Dropping);
  SendMessageW(hwnd, WM_KEYTARGET_UP, ActionDrop, 0);

  // After the game is stopped, pause does nothing.
  const_cast<GameController&>(frame_->Game()).Stop();
  Command(IDM_PAUSE);
  EXPECT_FALSE(Flags() & Paused);
}

TEST_F(FrameTest, DeactivationPausesAndReactivationRepaintsOnly) {
  HWND hwnd = Start();
  ASSERT_NE(hwnd, nullptr);
  HWND board = FindWindowExW(hwnd, nullptr, L"GravlinBoardCE", nullptr);
  UpdateWindow(board);
  SendMessageW(hwnd, WM_KEYTARGET_DOWN, ActionLeft, 0);  // its release will go elsewhere
  ASSERT_TRUE(Flags() & ButtonHeld);
  SendMessageW(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_TRUE(Flags() & Paused);
  EXPECT_FALSE(Flags() & ButtonHeld);
  EXPECT_FALSE(GetUpdateRect(board, nullptr, FALSE));
  SendMessageW(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(Flags() & Paused);
  EXPECT_TRUE(GetUpdateRect(board, nullptr, FALSE));
  EXPECT_EQ(GetFocus(), hwnd);  // the button hook listens on the frame
  UpdateWindow(board);
  SendMessageW(hwnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
  EXPECT_TRUE(GetUpdateRect(board, nullptr, FALSE));
}

bool PauseButtonChecked(HWND frame) {
  HWND toolbar = test_support::MenuBarToolbar(frame);
  return SendMessageW(toolbar, TB_GETSTATE, IDM_PAUSE, 0) & TBSTATE_CHECKED;
}

TEST_F(FrameTest, PauseButtonShowsThePauseWhicheverWayItCame) {
  HWND hwnd = Start();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_FALSE(PauseButtonChecked(hwnd));
  struct Step {
    const char* name;
    std::function<void()> act;
    bool paused;
  } steps[] = {
      {"pause button", [&] { Command(IDM_PAUSE); }, true},
      {"pause button again", [&] { Command(IDM_PAUSE); }, false},
      {"deactivated", [&] { SendMessageW(hwnd, WM_ACTIVATE, WA_INACTIVE, 0); }, true},
      {"reactivated: still paused", [&] { SendMessageW(hwnd, WM_ACTIVATE, WA_ACTIVE, 0); }, true},
      {"new game", [&] { Command(IDM_NEW_GAME); }, false},
      {"dialog over a running game", [&] { Command(IDM_SCORES); }, false},
      {"pause, then a dialog", [&] { Command(IDM_PAUSE), Answer([&] { Command(IDM_OPTIONS); }); },
       true},
      {"new game while paused", [&] { Command(IDM_NEW_GAME); }, false},
      {"game over",
       [&] {
         const_cast<GameController&>(frame_->Game()).Stop();
         Answer([&] { frame_->OnGameOver(0); });
       },
       false},
      {"pause after game over does nothing", [&] { Command(IDM_PAUSE); }, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    EXPECT_EQ(static_cast<bool>(Flags() & Paused), step.paused);
    EXPECT_EQ(PauseButtonChecked(hwnd), step.paused);
  }
  // While a dialog is open over a running game, the button shows the pause it brought.
  bool checkedMeanwhile = false;
  Command(IDM_NEW_GAME);
  const DialogAnswer answer = Answer([&] { Command(IDM_OPTIONS); },
                                     [&](HWND) { checkedMeanwhile = PauseButtonChecked(hwnd); });
  ASSERT_NE(answer.seen, nullptr);
  EXPECT_TRUE(checkedMeanwhile);
  EXPECT_FALSE(PauseButtonChecked(hwnd));
}

TEST_F(FrameTest, WindowCarriesTheProgramIconInBothSizes) {
  HWND hwnd = Start();
  ASSERT_NE(hwnd, nullptr);
  const struct {
    WPARAM which;
    int width, height;
  } kIcons[] = {{ICON_BIG, SM_CXICON, SM_CYICON}, {ICON_SMALL, SM_CXSMICON, SM_CYSMICON}};
  for (const auto& k : kIcons) {
    SCOPED_TRACE(k.which == ICON_BIG ? "large" : "small");
    auto icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, k.which, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour = {};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, GetSystemMetrics(k.width));
    EXPECT_EQ(colour.bmHeight, GetSystemMetrics(k.height));
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
}

// The rules' own well and row count, reached the way the board window reaches them.
struct RulesAccess : BoardView {
  static Board& Well(GameController& game) { return game.*(&RulesAccess::board); }
  static int32_t& RowCount(GameController& game) { return game.*(&RulesAccess::rows); }
};

// Every PlaySoundW call the shell makes, recorded on its way to the platform. The sound library
// is found at first use, so the recorder stands in for the lookup's answer; with `g_noSound` the
// lookup finds nothing, as on a system without the library.
struct SoundCall {
  std::wstring name;
  HMODULE module;
  DWORD flags;
};
std::vector<SoundCall> g_sounds;
bool g_noSound = false;
using PlaySoundFn = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
using GetProcAddressFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);
PlaySoundFn g_realPlaySound = nullptr;
GetProcAddressFn g_realGetProcAddress = nullptr;

BOOL WINAPI RecordPlaySound(LPCWSTR name, HMODULE module, DWORD flags) {
  g_sounds.push_back({IS_INTRESOURCE(name) ? L"(id)" : name ? name : L"(null)", module, flags});
  return g_realPlaySound(name, module, flags);
}

FARPROC WINAPI LookUpRecorder(HMODULE module, LPCSTR name) {
  const FARPROC found = g_realGetProcAddress(module, name);
  if (IS_INTRESOURCE(name) || lstrcmpA(name, "PlaySoundW") != 0) return found;
  if (g_noSound) return nullptr;
  g_realPlaySound = reinterpret_cast<PlaySoundFn>(reinterpret_cast<void (*)()>(found));
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&RecordPlaySound));
}

TEST_F(FrameTest, RowRemovalUpdatesTheLabelsAndPlaysItsSound) {
  test_support::ImportSwap swap(GetModuleHandleW(nullptr), "GetProcAddress",
                                reinterpret_cast<void*>(&LookUpRecorder));
  ASSERT_TRUE(swap.Installed());
  g_realGetProcAddress = reinterpret_cast<GetProcAddressFn>(swap.Original());
  struct Case {
    const char* name;
    int rowsBefore;
    int fullRows;
    const wchar_t* rows;
    const wchar_t* level;
    const wchar_t* sound;
  } cases[] = {
      {"one row", 0, 1, L"1", L"1", L"#112"},
      {"several rows", 4, 3, L"7", L"1", L"#112"},
      {"one row raising the level", 10, 1, L"11", L"2", L"#110"},
      {"several rows raising the level", 9, 4, L"13", L"2", L"#110"},
  };
  // Sound on, sound off, and sound on without the sound library: the rows go all the same.
  for (int setup = 0; setup < 3; ++setup) {
    const bool soundOn = setup != 1;
    g_noSound = setup == 2;
    Settings stored;
    stored.PlaySound = soundOn;
    WriteSettings(stored);
    HWND hwnd = Start();
    ASSERT_NE(hwnd, nullptr);
    auto& game = const_cast<GameController&>(frame_->Game());
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name
                                      << (!soundOn    ? ", sound off"
                                          : g_noSound ? ", no sound library"
                                                      : ", sound on"));
      Command(IDM_NEW_GAME);
      RulesAccess::RowCount(game) = c.rowsBefore;
      Board& well = RulesAccess::Well(game);
      for (int row = 0; row < c.fullRows; ++row) {
        for (int column = 0; column < Board::kColumns; ++column) well.cells[row][column] = 1;
        well.rowFill[row] = Board::kColumns;
      }
      g_sounds.clear();
      // The falling piece comes to rest on the full rows, which then go.
      SendMessageW(hwnd, WM_KEYTARGET_DOWN, ActionDrop, 0);
      SendMessageW(hwnd, WM_KEYTARGET_UP, ActionDrop, 0);
      for (int tick = 0; tick < 200 && game.Rows() == c.rowsBefore; ++tick) {
        game.OnTimer(GameController::kTimerId);
      }
      const auto labels = Labels(hwnd);
      EXPECT_EQ(WindowText(labels[5]), c.rows);
      EXPECT_EQ(WindowText(labels[1]), c.level);
      if (soundOn && !g_noSound) {
        ASSERT_EQ(g_sounds.size(), 1u);
        EXPECT_EQ(g_sounds[0].name, c.sound);
        EXPECT_EQ(g_sounds[0].module, GetModuleHandleW(nullptr));
        EXPECT_EQ(g_sounds[0].flags, static_cast<DWORD>(SND_RESOURCE | SND_ASYNC | SND_NODEFAULT));
      } else {
        EXPECT_TRUE(g_sounds.empty());
      }
    }
    frame_.reset();
    DrainQuit();
  }
  g_noSound = false;
}

TEST_F(FrameTest, ScoresPausesARunningGameAroundTheCall) {
  ASSERT_NE(Start(), nullptr);
  for (bool pausedBefore : {false, true}) {
    SCOPED_TRACE(pausedBefore ? "paused before" : "running before");
    if (pausedBefore) Command(IDM_PAUSE);
    g_log.pausedInScores.clear();
    Command(IDM_SCORES);
    EXPECT_EQ(g_log.pausedInScores, std::vector<bool>{true});
    EXPECT_EQ(static_cast<bool>(Flags() & Paused), pausedBefore);
  }
  ASSERT_EQ(g_log.scores.size(), 2u);
  const ScoresBoxInfo& info = g_log.scores[0];
  EXPECT_EQ(info.size, sizeof(ScoresBoxInfo));
  EXPECT_EQ(info.instance, GetModuleHandleW(nullptr));
  EXPECT_EQ(info.owner, frame_->Hwnd());
  EXPECT_EQ(info.gameId, 83);
  EXPECT_EQ(g_log.scorePaths[0], L"Software\\Velmora\\Gravlin\\Score");
  EXPECT_EQ(info.newScore, 0);
  EXPECT_EQ(info.tableSize, 10);
}

TEST_F(FrameTest, GameOverShowsTheTableOrTheMessage) {
  struct Case {
    const char* name;
    int score;
    int scoresResult;
    bool library;
    bool scoresCalled;
    bool message;
  } cases[] = {
      {"score 0: message only", 0, 1, true, false, true},
      {"entered the table", 120, 1, true, true, false},
      {"too low for the table", 120, 0, true, true, true},
      {"library without ScoresBox", 120, 1, false, false, true},
  };
  ASSERT_NE(Start(), nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    g_log.scores.clear();
    g_log.scoresResult = c.scoresResult;
    SetVelcoreLibrary(c.library ? GetModuleHandleW(nullptr) : GetModuleHandleW(L"kernel32.dll"));
    const DialogAnswer answer = Answer([&] { frame_->OnGameOver(c.score); }, {}, c.message);
    EXPECT_EQ(g_log.scores.size(), c.scoresCalled ? 1u : 0u);
    if (c.scoresCalled) {
      EXPECT_EQ(g_log.scores[0].newScore, c.score);
    }
    EXPECT_EQ(answer.seen != nullptr, c.message);
    if (c.message) {
      EXPECT_EQ(answer.text, L"Game over!");
      EXPECT_EQ(answer.title, L"Talvenor");
      EXPECT_EQ(answer.owner, frame_->Hwnd());
    }
  }
}

// Pixels of the preview in a colour other than grey: the stone texture and the frame are grey,
// every piece but the grey one is coloured.
int ColouredPixels(HWND preview) {
  RECT r = {};
  GetClientRect(preview, &r);
  HDC dc = GetDC(preview);
  int count = 0;
  for (int y = 0; y < r.bottom; ++y) {
    for (int x = 0; x < r.right; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      count += GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c);
    }
  }
  ReleaseDC(preview, dc);
  return count;
}

TEST_F(FrameTest, OptionsOkStoresAllThreeAndClearsThePreview) {
  HWND hwnd = Start();
  ASSERT_NE(hwnd, nullptr);
  HWND preview = FindWindowExW(hwnd, nullptr, L"GravlinPreviewCE", nullptr);
  // The grey piece would not show in the count below.
  for (int i = 0; i < 50 && frame_->Game().NextPiece()->colour == 4; ++i) Command(IDM_NEW_GAME);
  UpdateWindow(preview);
  EXPECT_GT(ColouredPixels(preview), 0);

  const DialogAnswer answer =
      Answer([&] { Command(IDM_OPTIONS); },
             [](HWND dialog) {
               HWND edit = GetDlgItem(dialog, IDC_LEVEL);
               SendMessageW(edit, WM_KEYDOWN, VK_UP, 1);
               SendDlgItemMessageW(dialog, IDC_SHOW_PREVIEW, BM_CLICK, 0, 0);
             });
  EXPECT_NE(answer.seen, nullptr);
  EXPECT_EQ(answer.title, L"Options");
  EXPECT_TRUE(answer.pausedMeanwhile);
  EXPECT_FALSE(Flags() & Paused);
  EXPECT_EQ(frame_->CurrentSettings().InitialLevel, 1u);
  EXPECT_FALSE(frame_->CurrentSettings().ShowPreview);
  EXPECT_TRUE(frame_->CurrentSettings().PlaySound);
  EXPECT_EQ(ColouredPixels(preview), 0);
  Settings stored;
  stored.ShowPreview = 1;
  stored.PlaySound = 0;
  ReadSettings(stored);
  EXPECT_EQ(stored.InitialLevel, 1u);
  EXPECT_FALSE(stored.ShowPreview);
  EXPECT_TRUE(stored.PlaySound);
  EXPECT_EQ(frame_->Game().Level(), 0);  // the new level waits for the next game

  // OK without changes still writes every value.
  RegDeleteTreeW(HKEY_CURRENT_USER, kOptionsPath);
  Answer([&] { Command(IDM_OPTIONS); });
  for (const wchar_t* value : {L"InitialLevel", L"ShowPreview", L"PlaySound"}) {
    const auto stored = test_support::ReadValue(HKEY_CURRENT_USER, kOptionsPath, value);
    EXPECT_EQ(stored ? stored->type : DWORD{REG_NONE}, static_cast<DWORD>(REG_DWORD)) << value;
  }
  Command(IDM_NEW_GAME);
  EXPECT_EQ(frame_->Game().Level(), 1);
}

TEST_F(FrameTest, AboutLeavesTheGameAsItWas) {
  // The frame takes the About box from the real library beside this program.
  HMODULE library = LoadLibraryW(kVelcoreLibraryName);
  ASSERT_NE(library, nullptr) << "velcore.dll is not beside the test";
  const bool hasAboutBox = GetProcAddress(library, "AboutBox") != nullptr;
  FreeLibrary(library);
  ASSERT_TRUE(hasAboutBox);
  ASSERT_NE(Start(), nullptr);
  for (bool pausedBefore : {false, true}) {
    SCOPED_TRACE(pausedBefore ? "paused before" : "running before");
    if (pausedBefore) Command(IDM_PAUSE);
    const DialogAnswer answer = Answer([&] { Command(IDM_ABOUT); });
    // The box belonged to the frame and the game waited.
    ASSERT_NE(answer.seen, nullptr) << "no About box";
    EXPECT_EQ(answer.owner, frame_->Hwnd());
    EXPECT_TRUE(answer.pausedMeanwhile);
    EXPECT_EQ(static_cast<bool>(Flags() & Paused), pausedBefore);
  }
}

// The close box of a desktop window takes exactly the way of "Exit".
TEST_F(FrameTest, ExitAndTheCloseBoxUnregisterDestroyAndQuitWithZero) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
  } kCases[] = {
      {"Exit", WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0)},
      {"close box", WM_SYSCOMMAND, SC_CLOSE},
      {"WM_CLOSE", WM_CLOSE, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    g_log = {};
    HWND hwnd = Start(RECT{0, 0, 800, 600});
    ASSERT_NE(hwnd, nullptr);
    HWND board = FindWindowExW(hwnd, nullptr, L"GravlinBoardCE", nullptr);
    SendMessageW(hwnd, c.message, c.wParam, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindow(board));
    EXPECT_EQ(frame_->Hwnd(), nullptr);
    EXPECT_EQ(g_log.unregistered, 1);
    EXPECT_TRUE(g_log.boardAtUnregister) << "the key target goes before the board";
    EXPECT_TRUE(DrainQuit());
    frame_.reset();
  }
}

TEST_F(FrameTest, MissingExportsAreSkipped) {
  SetVelcoreLibrary(GetModuleHandleW(L"kernel32.dll"));
  HWND hwnd = Start();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(g_log.registered.empty());
  EXPECT_EQ(Answer([&] { Command(IDM_SCORES); }, {}, false).seen, nullptr);
  EXPECT_FALSE(Flags() & Paused);
  SendMessageW(hwnd, WM_KEYTARGET_DOWN, ActionLeft, 0);
  SendMessageW(hwnd, WM_KEYTARGET_UP, ActionLeft, 0);
  Command(IDM_EXIT);
  EXPECT_EQ(g_log.unregistered, 0);
  EXPECT_TRUE(DrainQuit());
}

// Work areas from the handheld's to a desktop's: which frame each gets and where it stands on
// the first start.
TEST(FramePlacementTest, StyleAndFirstRectangleFollowTheWorkArea) {
  const RECT border = DesktopWindowRect(RECT{0, 0, 0, 0});
  const struct {
    RECT area;
    bool handheld;
  } kCases[] = {
      {{0, 0, 240, 320}, true},   {{0, 0, 480, 640}, true},    {{0, 0, 640, 480}, true},
      {{0, 26, 240, 320}, true},  {{0, 0, 481, 640}, false},   {{0, 0, 800, 600}, false},
      {{0, 0, 1024, 768}, false}, {{0, 0, 1920, 1080}, false}, {{100, 30, 1124, 798}, false},
      {{0, 0, 2560, 400}, false},
  };
  for (const auto& c : kCases) {
    const RECT& a = c.area;
    SCOPED_TRACE(testing::Message()
                 << a.left << "," << a.top << " " << a.right - a.left << "x" << a.bottom - a.top);
    EXPECT_EQ(pocketpc::IsHandheldScreen(a), c.handheld);
    EXPECT_EQ(FrameStyle(a),
              c.handheld ? DWORD{WS_VISIBLE} : DWORD{WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN});
    if (c.handheld) continue;
    const RECT r = FirstStartRect(a);
    const LONG clientWidth = (r.right - r.left) - (border.right - border.left);
    const LONG clientHeight = (r.bottom - r.top) - (border.bottom - border.top);
    // 3 : 4, as large as 85% of the height allows, unless the width allows less.
    EXPECT_LE(std::abs(clientWidth * 4 - clientHeight * 3), 4);
    const LONG byHeight = (a.bottom - a.top) * 85 / 100;
    const LONG byWidth = ((a.right - a.left) * 85 / 100 - (border.right - border.left)) * 4 / 3;
    EXPECT_NEAR(clientHeight, std::max(320L, std::min(byHeight, byWidth)), 1);
    EXPECT_LE(std::abs((r.left - a.left) - (a.right - r.right)), 1);
    EXPECT_LE(std::abs((r.top - a.top) - (a.bottom - r.bottom)), 1);
    EXPECT_TRUE(r.left >= a.left && r.top >= a.top && r.right <= a.right && r.bottom <= a.bottom);
  }
}

TEST_F(FrameTest, WindowStyleAndPlaceOnTheScreen) {
  // The system gives every top-level window that is no popup a caption; the handheld's frame
  // has none of the rest.
  const DWORD kDesktopBits = WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  const RECT kAreas[] = {{0, 0, 240, 320}, {0, 0, 800, 600}, {0, 0, 1024, 768}};
  for (const RECT& area : kAreas) {
    SCOPED_TRACE(area.right);
    RegDeleteTreeW(HKEY_CURRENT_USER, kOptionsPath);  // a first start each time
    HWND hwnd = Start(area);
    ASSERT_NE(hwnd, nullptr);
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    RECT window = {};
    GetWindowRect(hwnd, &window);
    if (pocketpc::IsHandheldScreen(area)) {
      EXPECT_EQ(style & kDesktopBits, 0);
      EXPECT_TRUE(SameRect(window, area));
    } else {
      EXPECT_EQ(style & kDesktopBits, static_cast<LONG_PTR>(kDesktopBits));
      EXPECT_TRUE(style & WS_CAPTION);
      EXPECT_TRUE(SameRect(window, FirstStartRect(area)));
    }
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_WINDOWEDGE);
    frame_.reset();
    DrainQuit();
  }
}

// A new client size lays the children out again in proportion to the well, and the views paint
// the whole of their new size. The labels share one font made for the size, whose text is
// 0.45 to 1.3 of a cell high and fits each label whole, even at the widest a value can be.
TEST_F(FrameTest, SizingLaysTheChildrenOutAgain) {
  HWND hwnd = Start(RECT{0, 0, 1024, 768});
  ASSERT_NE(hwnd, nullptr);
  const SIZE kClients[] = {{240, 320}, {489, 652}, {700, 400}, {300, 700},
                           {560, 700}, {570, 700}, {240, 320}};
  HFONT lastFont = nullptr;
  int lastCell = 0;
  for (const SIZE& size : kClients) {
    SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy);
    const RECT window = DesktopWindowRect(RECT{0, 0, size.cx, size.cy});
    SetWindowPos(hwnd, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT client = {};
    GetClientRect(hwnd, &client);
    ASSERT_EQ(client.right, size.cx);
    ASSERT_EQ(client.bottom, size.cy);

    RECT bar = ChildRect(hwnd, frame_->MenuBar());
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.right - bar.left, client.right);
    const std::vector<HWND> labels = Labels(hwnd);
    ASSERT_EQ(labels.size(), 6u);
    const HFONT font = LabelFontOf(labels[0]);
    ASSERT_NE(font, nullptr);
    for (HWND label : labels) EXPECT_EQ(LabelFontOf(label), font);
    const int textHeight = MeasureTextHeight(hwnd, font);
    const FrameLayout expected =
        ComputeDesktopLayout(ToLayoutRect(client), bar.bottom - bar.top, textHeight);
    HWND board = FindWindowExW(hwnd, nullptr, L"GravlinBoardCE", nullptr);
    HWND preview = FindWindowExW(hwnd, nullptr, L"GravlinPreviewCE", nullptr);
    EXPECT_TRUE(SameRect(ChildRect(hwnd, board), expected.board));
    EXPECT_TRUE(SameRect(ChildRect(hwnd, preview), expected.preview));
    for (int i = 0; i < 6; ++i)
      EXPECT_TRUE(SameRect(ChildRect(hwnd, labels[i]), expected.labels[i]));

    const int cell = frame_->Board().CellRect(0, 0).right - frame_->Board().CellRect(0, 0).left + 1;
    EXPECT_GE(textHeight * 100, cell * 45) << textHeight << " for a cell of " << cell;
    EXPECT_LE(textHeight * 10, cell * 13) << textHeight << " for a cell of " << cell;
    // A new size with the cell of the last one keeps its font.
    if (cell == lastCell) {
      EXPECT_EQ(font, lastFont);
    }
    lastCell = cell;
    lastFont = font;
    const wchar_t* const kWidest[] = {L"Level",      L"10",   L"Score",
                                      L"2147483647", L"Rows", L"2147483647"};
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, font);
    for (int i = 0; i < 6; ++i) {
      SCOPED_TRACE(i);
      SetWindowTextW(labels[i], kWidest[i]);
      SIZE text = {};
      ASSERT_TRUE(GetTextExtentPoint32W(dc, kWidest[i], lstrlenW(kWidest[i]), &text));
      RECT inside = {};
      GetClientRect(labels[i], &inside);
      EXPECT_LE(text.cx, inside.right);
      EXPECT_LE(text.cy, inside.bottom);
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);

    // The well's bottom row, now at a new place, shows the texture: the picture is as large as
    // the window.
    UpdateWindow(board);
    const RECT cellRect = frame_->Board().CellRect(0, 0);
    dc = GetDC(board);
    std::set<COLORREF> shades;
    for (int x = cellRect.left; x <= frame_->Board().CellRect(0, 9).right; ++x) {
      shades.insert(GetPixel(dc, x, (cellRect.top + cellRect.bottom) / 2));
    }
    ReleaseDC(board, dc);
    EXPECT_GT(shades.size(), 5u);
  }
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// The popup menu that turned up, closed again.
HWND g_menu = nullptr;
bool g_firstItemSelected = false;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND shown = FindWindowW(L"#32768", nullptr);
  if (!shown) return;
  g_menu = shown;
  auto menu = reinterpret_cast<HMENU>(SendMessageW(shown, MN_GETHMENU, 0, 0));
  g_firstItemSelected = menu && (GetMenuState(menu, 0, MF_BYPOSITION) & MF_HILITE);
  EndMenu();
}

TEST_F(FrameTest, SizingAHundredTimesKeepsObjectsAndWindowsCounted) {
  HWND hwnd = Start(RECT{0, 0, 1024, 768});
  ASSERT_NE(hwnd, nullptr);
  auto windows = [&] {
    int count = 0;
    EnumChildWindows(hwnd, &CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
  };
  auto resize = [&](int i) {
    SetWindowPos(hwnd, nullptr, 0, 0, 300 + i % 7 * 40, 420 + i % 5 * 50,
                 SWP_NOMOVE | SWP_NOZORDER);
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  };
  resize(0);
  const int objects = OwnGdiObjects();
  ASSERT_GE(objects, 0);
  const int children = windows();
  for (int i = 1; i <= 100; ++i) resize(i);
  resize(0);
  EXPECT_EQ(OwnGdiObjects(), objects);
  EXPECT_EQ(windows(), children);
}

// Moving, sizing and minimising the window wait like losing the focus: only the pause button
// resumes.
TEST_F(FrameTest, MovingSizingAndMinimisingPause) {
  const struct {
    const char* name;
    std::function<void(HWND)> act;
  } kCases[] = {
      {"entering the move-or-size loop", [](HWND h) { SendMessageW(h, WM_ENTERSIZEMOVE, 0, 0); }},
      {"a move", [](HWND h) { SetWindowPos(h, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }},
      {"a new size",
       [](HWND h) { SetWindowPos(h, nullptr, 0, 0, 500, 600, SWP_NOMOVE | SWP_NOZORDER); }},
      {"maximising", [](HWND h) { ShowWindow(h, SW_MAXIMIZE); }},
      {"minimising", [](HWND h) { ShowWindow(h, SW_MINIMIZE); }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    HWND hwnd = Start(RECT{0, 0, 1024, 768});
    ASSERT_NE(hwnd, nullptr);
    ASSERT_FALSE(Flags() & Paused);
    c.act(hwnd);
    EXPECT_TRUE(Flags() & Paused);
    EXPECT_TRUE(frame_->Game().Flags() & Running);
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    SendMessageW(hwnd, WM_EXITSIZEMOVE, 0, 0);
    SetForegroundWindow(hwnd);
    EXPECT_TRUE(Flags() & Paused);
    Command(IDM_PAUSE);
    EXPECT_FALSE(Flags() & Paused);
    frame_.reset();
    DrainQuit();
  }
}

// A window manager places a new window and then hands it the focus, which reaches the window as
// the activation Wine makes of it (a click on the menu). What the placing paused goes on then;
// a move or size the player made stays paused.
TEST_F(FrameTest, WhatTheWindowManagersPlacingPausedGoesOn) {
  using Step = std::function<void(HWND)>;
  const Step move = [](HWND h) {
    SetWindowPos(h, nullptr, 20, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  // The normal size a window manager passes through on the way to maximised.
  const Step size = [](HWND h) {
    SetWindowPos(h, nullptr, 0, 0, 480, 640, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  const Step handOver = [](HWND h) {
    SendMessageW(h, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(h),
                 MAKELPARAM(HTMENU, WM_LBUTTONDOWN));
  };
  const Step awayAndBack = [](HWND h) {
    SendMessageW(h, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageW(h, WM_ACTIVATE, WA_ACTIVE, 0);
  };
  const Step pauseButton = [](HWND h) { SendMessageW(h, WM_COMMAND, IDM_PAUSE, 0); };
  const Step moveLoop = [&](HWND h) {
    SendMessageW(h, WM_ENTERSIZEMOVE, 0, 0);
    move(h);
    SendMessageW(h, WM_EXITSIZEMOVE, 0, 0);
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
    bool paused;
  } kCases[] = {
      {"a move, then the focus", {move, handOver}, false},
      {"a size, then the focus", {size, handOver}, false},
      {"only the focus", {handOver}, false},
      {"the focus, then a move", {handOver, move}, true},
      {"a move, the player away and back, the focus", {move, awayAndBack, handOver}, true},
      {"a move, the player resumes and pauses, the focus",
       {move, pauseButton, pauseButton, handOver},
       true},
      {"the system's move loop, then the focus", {moveLoop, handOver}, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    HWND hwnd = Start(RECT{0, 0, 1024, 768});
    ASSERT_NE(hwnd, nullptr);
    ASSERT_FALSE(Flags() & Paused);
    for (const Step& step : c.steps) step(hwnd);
    EXPECT_EQ((Flags() & Paused) != 0, c.paused);
    // The pause button shows whichever it is.
    EXPECT_EQ(
        SendMessageW(test_support::MenuBarToolbar(hwnd), TB_ISBUTTONCHECKED, IDM_PAUSE, 0) != 0,
        c.paused);
    frame_.reset();
    DrainQuit();
    // Every case starts from the first start's place, which its move leaves.
    RegDeleteTreeW(HKEY_CURRENT_USER, kOptionsPath);
  }
}

TEST_F(FrameTest, MinimumTrackingSizeKeepsTheHandheldClient) {
  HWND hwnd = Start(RECT{0, 0, 1024, 768});
  ASSERT_NE(hwnd, nullptr);
  SetWindowPos(hwnd, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
  MINMAXINFO info = {};
  SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  const RECT smallest = DesktopWindowRect(RECT{0, 0, 240, 320});
  EXPECT_EQ(info.ptMinTrackSize.x, smallest.right - smallest.left);
  EXPECT_EQ(info.ptMinTrackSize.y, smallest.bottom - smallest.top);
}

// Pause, F2 and F10 act for the pause button, "New game" and "Extras"; a held key's repeats do
// nothing more.
TEST_F(FrameTest, DesktopKeysPauseStartAndOpenExtras) {
  HWND hwnd = Start(RECT{0, 0, 1024, 768});
  ASSERT_NE(hwnd, nullptr);
  auto key = [&](UINT message, WPARAM code, bool repeat = false) {
    const MSG msg = {hwnd, message, code, repeat ? LPARAM{1} << 30 : 1, 0, {}};
    return frame_->TranslateKey(msg);
  };
  EXPECT_TRUE(key(WM_KEYDOWN, VK_PAUSE));
  EXPECT_TRUE(Flags() & Paused);
  EXPECT_TRUE(key(WM_KEYDOWN, VK_PAUSE, true));
  EXPECT_TRUE(Flags() & Paused);
  EXPECT_TRUE(key(WM_KEYUP, VK_PAUSE));
  EXPECT_TRUE(key(WM_KEYDOWN, VK_PAUSE));
  EXPECT_FALSE(Flags() & Paused);

  // Paused, then F2: a new game runs.
  frame_->SetPaused(true);
  EXPECT_TRUE(key(WM_KEYDOWN, VK_F2));
  EXPECT_TRUE(Flags() & Running);
  EXPECT_FALSE(Flags() & Paused);

  // F10 and Alt alone open the "Extras" menu where the menu bar shows it, its first item
  // selected; Alt with another key between is the system's.
  constexpr LPARAM kAlt = LPARAM{1} << 29;
  const struct {
    const char* name;
    std::vector<MSG> keys;
    bool opens;
  } kMenuKeys[] = {
      {"F10", {{hwnd, WM_SYSKEYDOWN, VK_F10, 1, 0, {}}}, true},
      {"Alt",
       {{hwnd, WM_SYSKEYDOWN, VK_MENU, 1 | kAlt, 0, {}}, {hwnd, WM_SYSKEYUP, VK_MENU, 1, 0, {}}},
       true},
      {"Alt+F10",
       {{hwnd, WM_SYSKEYDOWN, VK_MENU, 1 | kAlt, 0, {}},
        {hwnd, WM_SYSKEYDOWN, VK_F10, 1 | kAlt, 0, {}},
        {hwnd, WM_SYSKEYUP, VK_MENU, 1, 0, {}}},
       false},
  };
  for (const auto& c : kMenuKeys) {
    SCOPED_TRACE(c.name);
    g_menu = nullptr;
    g_firstItemSelected = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &CloseMenu);
    bool taken = false;
    for (const MSG& m : c.keys) taken = frame_->TranslateKey(m);
    // Whatever the menu loop left, the next timer tick looks once more.
    test_support::Pump(250);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_menu != nullptr, c.opens);
    EXPECT_EQ(taken, c.opens);
    EXPECT_EQ(g_firstItemSelected, c.opens);
  }
  // Its release, handed on as the plain key, must not start the system's menu loop.
  EXPECT_TRUE(key(WM_SYSKEYUP, VK_F10));

  // Other keys and other windows are left to the loop.
  EXPECT_FALSE(key(WM_KEYDOWN, VK_LEFT));
  const MSG elsewhere = {frame_->MenuBar(), WM_KEYDOWN, VK_PAUSE, 1, 0, {}};
  EXPECT_FALSE(frame_->TranslateKey(elsewhere));
}

// The frame's place is kept between runs under the options key, beside the settings.
TEST_F(FrameTest, PlacementIsStoredOnExitAndRestoredOnStart) {
  const RECT kArea = {0, 0, 1024, 768};
  HWND hwnd = Start(kArea);
  ASSERT_NE(hwnd, nullptr);
  const RECT moved = {120, 90, 120 + 400, 90 + 560};
  SetWindowPos(hwnd, nullptr, moved.left, moved.top, moved.right - moved.left,
               moved.bottom - moved.top, SWP_NOZORDER);
  Exit();

  hwnd = Start(kArea);
  RECT window = {};
  GetWindowRect(hwnd, &window);
  EXPECT_TRUE(SameRect(window, moved));
  EXPECT_FALSE(IsZoomed(hwnd));

  ShowWindow(hwnd, SW_MAXIMIZE);
  Exit();
  hwnd = Start(kArea);
  EXPECT_TRUE(IsZoomed(hwnd));
  ShowWindow(hwnd, SW_RESTORE);
  GetWindowRect(hwnd, &window);
  EXPECT_TRUE(SameRect(window, moved)) << "the normal rectangle survives a maximised run";
}

// Beside a panel on any side the window comes back where it was left, start after start.
TEST_F(FrameTest, PlacementStaysPutBesideAPanel) {
  const struct {
    const char* name;
    RECT area;
  } kAreas[] = {
      {"no panel", {0, 0, 1024, 768}},
      {"60 px top", {0, 60, 1024, 768}},
      {"64 px left, 27 px top", {64, 27, 1024, 768}},
      {"40 px bottom", {0, 0, 1024, 728}},
  };
  for (const auto& c : kAreas) {
    SCOPED_TRACE(c.name);
    test_support::WorkArea panel(c.area);
    ASSERT_TRUE(panel.Set());
    RegDeleteTreeW(HKEY_CURRENT_USER, kOptionsPath);
    const RECT left = {c.area.left + 100, c.area.top + 30, c.area.left + 500, c.area.top + 590};
    HWND hwnd = Start(c.area);
    ASSERT_NE(hwnd, nullptr);
    SetWindowPos(hwnd, nullptr, left.left, left.top, left.right - left.left, left.bottom - left.top,
                 SWP_NOZORDER);
    for (int round = 0; round < 5; ++round) {
      SCOPED_TRACE(round);
      Exit();
      hwnd = Start(c.area);
      ASSERT_NE(hwnd, nullptr);
      RECT window = {};
      GetWindowRect(hwnd, &window);
      EXPECT_TRUE(SameRect(window, left));
    }
    // Maximised, the normal rectangle is the platform's placement's: it stays put too.
    ShowWindow(hwnd, SW_MAXIMIZE);
    Exit();
    hwnd = Start(c.area);
    ASSERT_TRUE(IsZoomed(hwnd));
    ShowWindow(hwnd, SW_RESTORE);
    RECT window = {};
    GetWindowRect(hwnd, &window);
    EXPECT_TRUE(SameRect(window, left));
    Exit();
  }
}

// A place stored on a larger screen is not squashed into this one: it gets the first start's.
TEST_F(FrameTest, PlacementLargerThanTheWorkAreaGetsTheFirstStartsWindow) {
  const RECT kArea = {0, 0, 1024, 768};
  const struct {
    const char* name;
    int32_t left, top, right, bottom;
  } kCases[] = {
      {"taller", 100, 0, 500, 900},
      {"wider", 0, 50, 1200, 650},
      {"both", -10, -1, 1400, 1040},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const int32_t stored[5] = {c.left, c.top, c.right, c.bottom, 0};
    test_support::WriteValue(HKEY_CURRENT_USER, kOptionsPath, kPlacementValue, REG_BINARY, stored,
                             sizeof stored);
    HWND hwnd = Start(kArea);
    ASSERT_NE(hwnd, nullptr);
    RECT window = {};
    GetWindowRect(hwnd, &window);
    const RECT first = FirstStartRect(kArea);
    EXPECT_TRUE(SameRect(window, first));
    Exit();
  }
}

// Damaged or foreign placements give a window on the screen, and the rest of the key stays as it
// was, byte for byte.
TEST_F(FrameTest, HostilePlacementGivesAWindowOnScreenAndLeavesTheKey) {
  auto record = [](std::vector<int32_t> v) {
    std::vector<BYTE> bytes(v.size() * 4);
    memcpy(bytes.data(), v.data(), bytes.size());
    return bytes;
  };
  const struct {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
  } kCases[] = {
      {"wrong type", REG_DWORD, record({100, 100, 500, 600, 0})},
      {"text", REG_SZ, {'a', 0, 'b', 0, 0, 0}},
      {"short", REG_BINARY, record({100, 100, 500, 600})},
      {"long", REG_BINARY, record({100, 100, 500, 600, 0, 7})},
      {"empty", REG_BINARY, {}},
      {"off screen", REG_BINARY, record({5000, 5000, 5400, 5560, 0})},
      {"far off", REG_BINARY, record({-90000, -90000, -89600, -89440, 1})},
      {"absurd size", REG_BINARY, record({-50, -50, 100000, 100000, 0})},
      {"largest edges", REG_BINARY, record({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0})},
      {"inverted", REG_BINARY, record({600, 500, 100, 100, 0})},
      {"tiny", REG_BINARY, record({10, 10, 12, 12, 0})},
  };
  const RECT kArea = {0, 0, 1024, 768};
  const BYTE kOther[] = {1, 2, 3, 4, 5};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    RegDeleteTreeW(HKEY_CURRENT_USER, kOptionsPath);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kOptionsPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, kPlacementValue, 0, c.type, c.data.data(),
                   static_cast<DWORD>(c.data.size()));
    RegSetValueExW(key, L"Other", 0, REG_BINARY, kOther, sizeof kOther);
    const DWORD level = 4;
    RegSetValueExW(key, L"InitialLevel", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&level), 4);

    HWND hwnd = Start(kArea);
    ASSERT_NE(hwnd, nullptr);
    RECT window = {};
    GetWindowRect(hwnd, &window);
    EXPECT_TRUE(window.left >= 0 && window.top >= 0 && window.right <= 1024 && window.bottom <= 768)
        << window.left << "," << window.top << "," << window.right << "," << window.bottom;
    RECT client = {};
    GetClientRect(hwnd, &client);
    EXPECT_GE(client.right, 240);
    EXPECT_GE(client.bottom, 320);
    Exit();

    BYTE other[16] = {};
    DWORD size = sizeof other, type = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Other", nullptr, &type, other, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD{REG_BINARY});
    EXPECT_EQ(std::vector<BYTE>(other, other + size), std::vector<BYTE>(kOther, kOther + 5));
    DWORD stored = 0;
    size = sizeof stored;
    RegQueryValueExW(key, L"InitialLevel", nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size);
    EXPECT_EQ(stored, level);
    // What the run stored is the window it had.
    BYTE placement[20] = {};
    size = sizeof placement;
    EXPECT_EQ(RegQueryValueExW(key, kPlacementValue, nullptr, &type, placement, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD{REG_BINARY});
    EXPECT_EQ(size, 20u);
    int32_t edges[4] = {};
    memcpy(edges, placement, sizeof edges);
    EXPECT_TRUE(SameRect(RECT{edges[0], edges[1], edges[2], edges[3]}, window));
    RegCloseKey(key);
  }
}

// On a screen of handheld size the place is neither read nor written.
TEST_F(FrameTest, HandheldScreenLeavesThePlacementAlone) {
  const std::vector<int32_t> kStored = {100, 100, 500, 600, 1};
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kOptionsPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, kPlacementValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(kStored.data()),
                 20);
  HWND hwnd = Start(RECT{0, 0, 240, 320});
  ASSERT_NE(hwnd, nullptr);
  RECT window = {};
  GetWindowRect(hwnd, &window);
  EXPECT_TRUE(SameRect(window, RECT{0, 0, 240, 320}));
  EXPECT_FALSE(IsZoomed(hwnd));
  Command(IDM_EXIT);
  DrainQuit();
  int32_t after[5] = {};
  DWORD size = sizeof after;
  EXPECT_EQ(RegQueryValueExW(key, kPlacementValue, nullptr, nullptr, reinterpret_cast<BYTE*>(after),
                             &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::vector<int32_t>(after, after + 5), kStored);
  RegCloseKey(key);
}

}  // namespace
