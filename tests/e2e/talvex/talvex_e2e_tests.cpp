// Talvex.exe played from outside: started, steered through the button messages the library
// would send, read through its labels, dialogs, the screen, the registry and its exit code.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "key_map_defaults.h"
#include "bench/talvex/process_figures.h"
#include "registry_backup.h"
#include "screen.h"
#include "shell/layout.h"
#include "talvex_process.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/registry_values.h"
#include "tests/support/win_support.h"
#include "velcore/codec/score_record.h"
#include "velcore/resource.h"  // the scores dialog's controls

namespace {

using test_support::BringToFront;

constexpr DWORD kStartTimeout = 15000;

const std::vector<std::wstring> kStartLabels = {L"Level", L"1", L"Score", L"0", L"Rows", L"0"};

class TalvexTest : public ::testing::Test {
 protected:
  RegistryBackup backup_;
};

// A window of the driver's own, to take the foreground from the game.
class OtherWindow {
 public:
  OtherWindow() {
    hwnd_ = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 120, 120, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~OtherWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  HWND Hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// Whether the board looks the same for `ms` while the game would otherwise be falling. The
// fixed time is the check itself: a piece would have moved within it. It sleeps rather than
// pumps: a window of this driver's own, painted meanwhile, could cover part of the board.
bool BoardStill(HWND frame, DWORD ms) {
  const auto before = CapturePixels(Board(frame));
  Sleep(ms);
  return !before.empty() && CapturePixels(Board(frame)) == before;
}

bool BoardMovesWithin(HWND frame, DWORD ms) {
  const auto before = CapturePixels(Board(frame));
  return PumpUntil(ms, [&] { return CapturePixels(Board(frame)) != before; });
}

// Talvex.exe copied alone into a fresh temporary folder, without the library beside it; removed
// again at the end of the test. exe stays empty when the copy failed.
struct LoneCopy {
  explicit LoneCopy(const wchar_t* prefix) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + prefix + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring target = folder + L"Talvex.exe";
    if (CopyFileW((BinFolder() + L"Talvex.exe").c_str(), target.c_str(), FALSE)) exe = target;
  }
  ~LoneCopy() {
    if (!exe.empty()) DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
  }
  std::wstring folder, exe;
};

TEST_F(TalvexTest, WithoutTheLibraryItSaysSoAndEndsWithOne) {
  LoneCopy alone(L"talvex_alone_");
  ASSERT_FALSE(alone.exe.empty());
  {
    TalvexProcess game;
    ASSERT_TRUE(game.Start(alone.exe, alone.folder));
    HWND box = game.WaitForDialog(kStartTimeout);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box),
              L"Some components of this application are missing. Please reinstall application.");
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    EXPECT_EQ(FindWindowW(L"GravlinCE", nullptr), nullptr);
    SendMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(game.WaitForExit(5000), 1u);
  }
}

TEST_F(TalvexTest, SecondCopyBringsTheFirstToFrontAndEnds) {
  TalvexProcess first;
  ASSERT_TRUE(first.Start());
  HWND frame = first.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  OtherWindow other;
  ASSERT_TRUE(BringToFront(other.Hwnd()));

  // A copy in a folder without the library: had it tried to load it, it would end with 1.
  LoneCopy alone(L"talvex_second_");
  ASSERT_FALSE(alone.exe.empty());
  {
    TalvexProcess second;
    ASSERT_TRUE(second.Start(alone.exe, alone.folder));
    EXPECT_EQ(second.WaitForExit(kStartTimeout), 0u);
    EXPECT_EQ(second.FindDialog(), nullptr);
  }
  EXPECT_TRUE(PumpUntil(2000, [&] { return GetForegroundWindow() == frame; }));
  EXPECT_EQ(first.Exit(), 0u);
}

// A running copy that does not answer: this thread holds the copy's mark and a minimised window
// of the frame's class, and pumps nothing while the second copy runs. The second copy must not
// wait for it.
TEST_F(TalvexTest, SecondCopyEndsAtOnceWhenTheRunningCopyDoesNotAnswer) {
  HANDLE mark = CreateMutexW(nullptr, TRUE, L"Local\\Velmora.Gravlin.RunningCopy");
  ASSERT_NE(mark, nullptr);
  ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "a copy runs already";
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"GravlinCE";
  const ATOM atom = RegisterClassW(&wc);
  ASSERT_NE(atom, 0);
  HWND hung = CreateWindowExW(0, L"GravlinCE", L"Talvenor", WS_OVERLAPPEDWINDOW, 10, 10, 300, 400,
                              nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(hung, nullptr);
  ShowWindow(hung, SW_MINIMIZE);
  Pump(200);

  LoneCopy alone(L"talvex_hung_");
  ASSERT_FALSE(alone.exe.empty());
  {
    TalvexProcess second;
    ASSERT_TRUE(second.Start(alone.exe, alone.folder));
    const DWORD start = GetTickCount();
    // Waits without pumping: the window stays unanswered meanwhile.
    const DWORD waited = WaitForSingleObject(second.Handle(), 6000);
    EXPECT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0))
        << "still waiting after " << GetTickCount() - start << " ms";
    Pump(500);  // what the second copy asked of the window, if it was left waiting
    EXPECT_EQ(second.WaitForExit(kStartTimeout), 0u);
  }
  DestroyWindow(hung);
  UnregisterClassW(L"GravlinCE", wc.hInstance);
  ReleaseMutex(mark);
  CloseHandle(mark);
}

// A minimised copy with Options open: a second start restores it with Options in front, not the
// frame that Options holds disabled.
TEST_F(TalvexTest, SecondCopyBringsTheOpenDialogOfAMinimisedCopyToTheFront) {
  TalvexProcess first;
  ASSERT_TRUE(first.Start());
  HWND frame = first.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(BringToFront(frame));
  Command(frame, IDM_OPTIONS);
  HWND options = first.WaitForDialog(5000, L"Options");
  ASSERT_NE(options, nullptr);
  ShowWindow(frame, SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil(3000, [&] { return IsIconic(frame) != 0; }));
  OtherWindow other;
  ASSERT_TRUE(BringToFront(other.Hwnd()));

  LoneCopy alone(L"talvex_second_dialog_");
  ASSERT_FALSE(alone.exe.empty());
  {
    TalvexProcess second;
    ASSERT_TRUE(second.Start(alone.exe, alone.folder));
    EXPECT_EQ(second.WaitForExit(kStartTimeout), 0u);
  }
  EXPECT_TRUE(PumpUntil(3000, [&] { return !IsIconic(frame); }));
  EXPECT_TRUE(PumpUntil(3000, [&] { return GetForegroundWindow() == options; }))
      << "in front: " << GetForegroundWindow() << ", the frame " << frame;
  SendMessageW(options, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(PumpUntil(3000, [&] { return !IsWindow(options); }));
  EXPECT_EQ(first.Exit(), 0u);
}

// Libraries of someone else's under the game's names, planted in the working directory and in a
// folder on PATH; removed again, with their records, at the end.
class PlantedLibraries {
 public:
  PlantedLibraries() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base =
        std::wstring(temp) + L"talvex_planted_" + std::to_wstring(GetCurrentProcessId());
    working = base + L"_cwd\\";
    onPath = base + L"_path\\";
    for (const std::wstring& folder : {working, onPath}) {
      CreateDirectoryW(folder.c_str(), nullptr);
      for (const wchar_t* name : {L"coredll", L"velcore"}) {
        const std::wstring from = BinFolder() + L"recording_" + name + L"\\" + name + L".dll";
        copied += CopyFileW(from.c_str(), (folder + name + L".dll").c_str(), FALSE) ? 1 : 0;
      }
    }
    wchar_t path[32767] = {};
    GetEnvironmentVariableW(L"PATH", path, 32767);
    oldPath_ = path;
    SetEnvironmentVariableW(L"PATH", (onPath + L";" + oldPath_).c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kLoadedKey);
  }
  ~PlantedLibraries() {
    SetEnvironmentVariableW(L"PATH", oldPath_.c_str());
    for (const std::wstring& folder : {working, onPath}) {
      for (const wchar_t* name : {L"coredll.dll", L"velcore.dll"}) {
        DeleteFileW((folder + name).c_str());
      }
      RemoveDirectoryW(folder.c_str());
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kLoadedKey);
  }
  // The places a planted library was loaded from, in any process.
  std::vector<std::wstring> Loaded() const {
    std::vector<std::wstring> places;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kLoadedKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return places;
    }
    for (const auto& [name, value] : test_support::ReadValues(key)) places.push_back(name);
    RegCloseKey(key);
    return places;
  }

  static constexpr wchar_t kLoadedKey[] = L"Software\\Velmora\\TalvenorTests\\Loaded";
  std::wstring working, onPath, oldPath_;
  int copied = 0;
};

std::string Narrow(const std::vector<std::wstring>& texts) {
  std::string all;
  for (const std::wstring& text : texts) all += std::string(text.begin(), text.end()) + "; ";
  return all;
}

TEST_F(TalvexTest, LibrariesPlantedInTheWorkingDirectoryOrOnPathAreNeverLoaded) {
  PlantedLibraries planted;
  ASSERT_EQ(planted.copied, 4);
  {
    TalvexProcess game;
    ASSERT_TRUE(game.Start(BinFolder() + L"Talvex.exe", planted.working));
    HWND frame = game.WaitForFrame(kStartTimeout);
    ASSERT_NE(frame, nullptr);
    // Every activation grabs the buttons again, and once looked for the core library anew. The
    // messages go straight to the frame: the foreground itself is not what is tested here.
    for (int i = 0; i < 2; ++i) {
      SendMessageW(frame, WM_ACTIVATE, WA_INACTIVE, 0);
      SendMessageW(frame, WM_ACTIVATE, WA_ACTIVE, 0);
    }
    EXPECT_EQ(planted.Loaded(), std::vector<std::wstring>{}) << Narrow(planted.Loaded());
    EXPECT_EQ(game.Exit(), 0u);
  }
  // Without its own library beside it, the game says so rather than run on another.
  LoneCopy alone(L"talvex_planted_alone_");
  ASSERT_FALSE(alone.exe.empty());
  TalvexProcess game;
  ASSERT_TRUE(game.Start(alone.exe, planted.working));
  HWND box = game.WaitForDialog(kStartTimeout);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box),
            L"Some components of this application are missing. Please reinstall application.");
  EXPECT_EQ(FindWindowW(L"GravlinCE", nullptr), nullptr);
  SendMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(game.WaitForExit(5000), 1u);
  EXPECT_EQ(planted.Loaded(), std::vector<std::wstring>{}) << Narrow(planted.Loaded());
}

BOOL CALLBACK CountFrame(HWND window, LPARAM counted) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (lstrcmpW(name, L"GravlinCE") == 0) ++*reinterpret_cast<int*>(counted);
  return TRUE;
}

int CountFrames() {
  int count = 0;
  EnumWindows(&CountFrame, reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST_F(TalvexTest, TwoCopiesStartedTogetherRunAsOne) {
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TalvexProcess copies[2];
    for (TalvexProcess& copy : copies) {
      ASSERT_TRUE(copy.Start(BinFolder() + L"Talvex.exe", BinFolder(), CREATE_SUSPENDED));
    }
    for (TalvexProcess& copy : copies) copy.Resume();
    // One of them ends with 0 once it has found the other's window.
    int ended = -1;
    ASSERT_TRUE(PumpUntil(kStartTimeout, [&] {
      for (int i = 0; i < 2; ++i) {
        if (copies[i].WaitForExit(0) != STILL_ACTIVE) ended = i;
      }
      return ended >= 0;
    }));
    EXPECT_EQ(copies[ended].WaitForExit(0), 0u);
    TalvexProcess& running = copies[1 - ended];
    EXPECT_NE(running.WaitForFrame(kStartTimeout), nullptr);
    EXPECT_EQ(running.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(CountFrames(), 1);
    EXPECT_EQ(running.Exit(), 0u);
  }
}

TEST_F(TalvexTest, SecondStartRestoresAMinimisedFirst) {
  TalvexProcess first;
  ASSERT_TRUE(first.Start());
  HWND frame = first.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  ShowWindow(frame, SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil(2000, [&] { return IsIconic(frame) != FALSE; }));
  {
    TalvexProcess second;
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(second.WaitForExit(kStartTimeout), 0u);
  }
  EXPECT_TRUE(PumpUntil(3000, [&] { return !IsIconic(frame) && IsWindowVisible(frame); }));
  EXPECT_EQ(first.Exit(), 0u);
}

TEST_F(TalvexTest, LabelsAtStartFollowTheStoredLevel) {
  struct Case {
    const char* name;
    DWORD stored;  // ~0: nothing stored
    const wchar_t* level;
  } cases[] = {{"nothing stored", ~0u, L"1"}, {"level 4 stored", 4, L"5"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.stored != ~0u) SetDword(kOptionsKey, L"InitialLevel", c.stored);
    TalvexProcess game;
    ASSERT_TRUE(game.Start());
    HWND frame = game.WaitForFrame(kStartTimeout);
    ASSERT_NE(frame, nullptr);
    auto expected = kStartLabels;
    expected[1] = c.level;
    EXPECT_EQ(LabelTexts(frame), expected);
    EXPECT_EQ(game.Exit(), 0u);
  }
}

TEST_F(TalvexTest, FirstPieceScores) {
  struct Case {
    const char* name;
    DWORD level;
    bool drop;
    const wchar_t* score;
  } cases[] = {
      {"dropped at once at level 1", 0, true, L"24"},
      {"left to fall twenty rows at level 10", 9, false, L"31"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetDword(kOptionsKey, L"InitialLevel", c.level);
    TalvexProcess game;
    ASSERT_TRUE(game.Start());
    HWND frame = game.WaitForFrame(kStartTimeout);
    ASSERT_NE(frame, nullptr);
    if (c.drop) {
      PressButton(frame, ActionDrop);
      ReleaseButton(frame, ActionDrop);
    }
    const HWND scoreLabel = Labels(frame)[3];
    ASSERT_TRUE(PumpUntil(5000, [&] { return WindowText(scoreLabel) != L"0"; }));
    EXPECT_EQ(WindowText(scoreLabel), c.score);
    EXPECT_EQ(game.Exit(), 0u);
  }
}

// The installed key map, as the installer writes it from install/keys.reg.
void StoreDefaultKeys() {
  EXPECT_TRUE(StoreKeyMapDefaults());
}

// Makes the frame the foreground window, as a click on it would; false when it does not come.
void PressKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

TEST_F(TalvexTest, ArrowKeyDropsThroughTheLibrary) {
  StoreDefaultKeys();
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(BringToFront(frame));
  PressKey(VK_DOWN);
  const HWND scoreLabel = Labels(frame)[3];
  ASSERT_TRUE(PumpUntil(5000, [&] { return WindowText(scoreLabel) != L"0"; }));
  EXPECT_EQ(WindowText(scoreLabel), L"24");
  EXPECT_EQ(game.Exit(), 0u);
}

TEST_F(TalvexTest, ButtonHeldWhileADialogOpensDoesNotSwallowTheNextPress) {
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(BringToFront(frame));

  // Drop held down; its release goes to the dialog, never to the game.
  PressButton(frame, ActionDrop);
  Command(frame, IDM_OPTIONS);
  HWND dialog = game.WaitForDialog(5000);
  ASSERT_NE(dialog, nullptr);
  SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the title-bar OK
  ASSERT_TRUE(PumpUntil(3000, [&] { return !IsWindow(dialog); }));

  // Sent, not posted: the new game must be in place before the press arrives.
  SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDM_NEW_GAME, 0), 0);
  const HWND scoreLabel = Labels(frame)[3];
  ASSERT_EQ(WindowText(scoreLabel), L"0");
  PressButton(frame, ActionDrop);
  ReleaseButton(frame, ActionDrop);
  // Dropped, the first piece lands within a second or two; left to fall at level 1, in ten.
  ASSERT_TRUE(PumpUntil(4000, [&] { return WindowText(scoreLabel) != L"0"; }));
  EXPECT_EQ(WindowText(scoreLabel), L"24");
  EXPECT_EQ(game.Exit(), 0u);
}

// On this screen the frame is a desktop window on its first start: a 3 : 4 client 85% of the
// work area's height, centred, whatever the dots per inch (no band above it, none cut off).
TEST_F(TalvexTest, FrameStandsCentredOnItsFirstStart) {
  // Measured in the screen's own pixels, whatever its dots per inch.
  SetProcessDPIAware();
  const test_support::ScreenDpi resolution = test_support::ScreenResolution();
  const int dpi = resolution.actual;
  // The run in a prefix set to another resolution says which it expects.
  if (resolution.expected) {
    EXPECT_EQ(dpi, resolution.expected);
  }
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kOptionsKey, L"WindowPlacement");
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  RECT work = {}, window = {}, client = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(frame, &window);
  GetClientRect(frame, &client);
  SCOPED_TRACE(testing::Message() << "at " << dpi << " dpi the frame is " << window.left << ","
                                  << window.top << " - " << window.right << "," << window.bottom
                                  << ", the work area " << work.left << "," << work.top << " - "
                                  << work.right << "," << work.bottom);
  EXPECT_TRUE(window.left >= work.left && window.top >= work.top && window.right <= work.right &&
              window.bottom <= work.bottom);
  EXPECT_NEAR(client.bottom, (work.bottom - work.top) * 85 / 100, 1);
  EXPECT_NEAR(client.right * 4, client.bottom * 3, 4);
  EXPECT_NEAR(window.left - work.left, work.right - window.right, 1);
  EXPECT_NEAR(window.top - work.top, work.bottom - window.bottom, 1);
  EXPECT_EQ(game.Exit(), 0u);
}

// A desktop player's session: the window sized and moved, a piece played, the close box, and the
// next start in the same place.
TEST_F(TalvexTest, ClosedByItsCloseBoxItComesBackWhereItWas) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kOptionsKey, L"WindowPlacement");
  const RECT kPlace = {150, 60, 150 + 420, 60 + 600};
  {
    TalvexProcess game;
    ASSERT_TRUE(game.Start());
    HWND frame = game.WaitForFrame(kStartTimeout);
    ASSERT_NE(frame, nullptr);
    SetWindowPos(frame, nullptr, kPlace.left, kPlace.top, kPlace.right - kPlace.left,
                 kPlace.bottom - kPlace.top, SWP_NOZORDER);
    // The new size paused the game, as the pause button shows; the button resumes it.
    ASSERT_TRUE(WaitForPause(frame, 2000));
    Command(frame, IDM_PAUSE);
    ASSERT_TRUE(PumpUntil(2000, [&] { return !WaitForPause(frame, 0); }));
    PressButton(frame, ActionDrop);
    ReleaseButton(frame, ActionDrop);
    const HWND scoreLabel = Labels(frame)[3];
    ASSERT_TRUE(PumpUntil(5000, [&] { return WindowText(scoreLabel) != L"0"; }));
    // The well follows the new client area: the cell that the area above the menu bar gives.
    RECT client = {}, board = {}, bar = {};
    GetClientRect(frame, &client);
    GetWindowRect(Board(frame), &board);
    GetWindowRect(FindWindowExW(frame, nullptr, L"menu_worker", nullptr), &bar);
    const int cell = DesktopCellSize(
        LayoutRect{0, 0, static_cast<int>(client.right), static_cast<int>(client.bottom)},
        bar.bottom - bar.top);
    EXPECT_EQ(board.bottom - board.top, 20 * cell + 2);
    PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(game.WaitForExit(5000), 0u);
  }
  TalvexProcess again;
  ASSERT_TRUE(again.Start());
  HWND frame = again.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  RECT window = {};
  GetWindowRect(frame, &window);
  EXPECT_TRUE(EqualRect(&window, &kPlace))
      << window.left << "," << window.top << " - " << window.right << "," << window.bottom;
  EXPECT_EQ(again.Exit(), 0u);
}

// Started where a window manager moves or sizes the window while placing it (the screen's
// corner, where its frame does not fit; maximised, by way of the normal size), the game runs;
// the player's move or size afterwards still pauses it. Without a window manager nothing moves
// the window at start; the run on a screen with one (window_manager_tests.sh) is the real check.
TEST_F(TalvexTest, TheWindowManagersPlacingAtStartDoesNotPause) {
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const auto moveBy = [](HWND frame) {
    RECT r = {};
    GetWindowRect(frame, &r);
    SetWindowPos(frame, nullptr, r.left - 30, r.top - 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  };
  const struct {
    const char* name;
    bool stored;
    int32_t place[5];  // as the frame stores it: edges, then whether maximised
    std::function<void(HWND)> playerActs;
  } kCases[] = {
      {"the first start", false, {}, moveBy},
      {"in the screen's lower right corner",
       true,
       {work.right - 420, work.bottom - 600, work.right, work.bottom, 0},
       moveBy},
      {"maximised",
       true,
       {work.left + 100, work.top + 50, work.left + 520, work.top + 650, 1},
       [](HWND frame) { ShowWindow(frame, SW_RESTORE); }},
  };
  SetDword(kOptionsKey, L"InitialLevel", 9);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kOptionsKey, L"WindowPlacement");
    if (c.stored) {
      test_support::WriteValue(HKEY_CURRENT_USER, kOptionsKey, L"WindowPlacement", REG_BINARY,
                               c.place, sizeof c.place);
    }
    TalvexProcess game;
    ASSERT_TRUE(game.Start());
    HWND frame = game.WaitForFrame(kStartTimeout);
    ASSERT_NE(frame, nullptr);
    // The window manager has long answered by now.
    Pump(1500);
    EXPECT_FALSE(WaitForPause(frame, 0));
    EXPECT_TRUE(BoardMovesWithin(frame, 2000));
    c.playerActs(frame);
    EXPECT_TRUE(WaitForPause(frame, 2000));
    EXPECT_EQ(game.Exit(), 0u);
  }
}

// Pause, F2 and F10 for a desktop player; a key the player gave to a game action keeps it.
TEST_F(TalvexTest, DesktopKeysActUnlessTheyAreAnActionsKey) {
  const struct {
    const char* name;
    WORD key;
    bool assigned;
  } kCases[] = {{"free", VK_PAUSE, false},
                {"Pause given to Drop", VK_PAUSE, true},
                // From the keyboard F10 comes as a system key.
                {"F10 given to Drop", VK_F10, true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    StoreDefaultKeys();
    if (c.assigned) {
      SetDword(L"Software\\Velmora\\Gravlin\\Keys\\Action3", L"Code", c.key);
    }
    TalvexProcess game;
    ASSERT_TRUE(game.Start());
    HWND frame = game.WaitForFrame(kStartTimeout);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(BringToFront(frame));
    PressKey(c.key);
    const HWND scoreLabel = Labels(frame)[3];
    if (c.assigned) {
      // Dropped, not paused.
      ASSERT_TRUE(PumpUntil(5000, [&] { return WindowText(scoreLabel) != L"0"; }));
      EXPECT_FALSE(WaitForPause(frame, 300));
      EXPECT_EQ(test_support::FindVisibleWindow(L"#32768", game.Id()), nullptr);
    } else {
      EXPECT_TRUE(WaitForPause(frame, 2000));
      PressKey(VK_F2);
      EXPECT_TRUE(PumpUntil(2000, [&] { return !WaitForPause(frame, 0); }));
      PressKey(VK_F10);
      EXPECT_TRUE(PumpUntil(
          3000, [&] { return test_support::FindVisibleWindow(L"#32768", game.Id()) != nullptr; }));
      PressKey(VK_ESCAPE);
    }
    EXPECT_EQ(game.Exit(), 0u);
  }
}

// Options asked for while another program's window is in front still belongs to the frame, which
// it keeps disabled.
TEST_F(TalvexTest, OptionsOpenedBehindAnotherWindowIsOwnedByTheFrame) {
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  OtherWindow other;
  ASSERT_TRUE(BringToFront(other.Hwnd()));
  Command(frame, IDM_OPTIONS);
  HWND options = game.WaitForDialog(5000, L"Options");
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(GetWindow(options, GW_OWNER), frame);
  EXPECT_FALSE(IsWindowEnabled(frame));
  SendMessageW(options, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(PumpUntil(3000, [&] { return !IsWindow(options); }));
  EXPECT_EQ(game.Exit(), 0u);
}

// The manifest as the system's loader reads it from Talvex.exe.
TEST(TalvexManifest, AsksForTheCallersRightsTheDesktopVersionsSystemDpiAndControlsSix) {
  const std::wstring exe = BinFolder() + L"Talvex.exe";
  ACTCTXW request = {};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = exe.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE context = CreateActCtxW(&request);
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "no manifest the loader accepts, " << GetLastError();

  wchar_t dpiAware[32] = {};
  SIZE_T written = 0;
  EXPECT_TRUE(QueryActCtxSettingsW(0, context, nullptr, L"dpiAware", dpiAware, 32, &written));
  EXPECT_STREQ(dpiAware, L"true");

  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
  EXPECT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                           sizeof level, nullptr));
  EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
  EXPECT_FALSE(level.UiAccess);

  // Vista, 7, 8, 8.1 and 10/11, by their identifiers' first fields. The record as current
  // systems fill it: each element also carries the highest version tested.
  struct Element {
    GUID id;
    ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
    ULONGLONG maxVersionTested;
  };
  struct {
    DWORD count;
    Element elements[16];
  } compatibility = {};
  EXPECT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext,
                           &compatibility, sizeof compatibility, nullptr));
  std::vector<unsigned long> systems;
  for (DWORD i = 0; i < compatibility.count && i < 16; ++i) {
    if (compatibility.elements[i].type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) {
      systems.push_back(compatibility.elements[i].id.Data1);
    }
  }
  EXPECT_EQ(systems, (std::vector<unsigned long>{0xe2011457, 0x35138b9a, 0x4a2f28e3, 0x1f676c76,
                                                 0x8e0f7a12}));

  // Inside the game's context comctl32 is the common controls 6 assembly's, the desktop's own
  // look, not the system folder's version 5.
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(ActivateActCtx(context, &cookie));
  ACTCTX_SECTION_KEYED_DATA redirection = {};
  redirection.cbSize = sizeof redirection;
  EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                       L"comctl32.dll", &redirection));
  DeactivateActCtx(0, cookie);
  ReleaseActCtx(context);
}

TEST_F(TalvexTest, PauseCommandStopsAndResumes) {
  SetDword(kOptionsKey, L"InitialLevel", 9);
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(BoardMovesWithin(frame, 2000));
  Command(frame, IDM_PAUSE);
  ASSERT_TRUE(WaitForPause(frame, 2000));
  EXPECT_TRUE(BoardStill(frame, 2000));
  Command(frame, IDM_PAUSE);
  EXPECT_TRUE(BoardMovesWithin(frame, 1000));
  EXPECT_EQ(game.Exit(), 0u);
}

TEST_F(TalvexTest, DeactivationPausesAndReactivationKeepsThePause) {
  SetDword(kOptionsKey, L"InitialLevel", 9);
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  SetForegroundWindow(frame);
  ASSERT_TRUE(BoardMovesWithin(frame, 2000));

  std::vector<COLORREF> paused;
  {
    OtherWindow other;
    ASSERT_TRUE(BringToFront(other.Hwnd()));
    ASSERT_TRUE(WaitForPause(frame, 2000));
    paused = CapturePixels(Board(frame));
    EXPECT_TRUE(BoardStill(frame, 1500));
  }
  // Back in front, the board is drawn again as it stood, and stays still.
  ASSERT_TRUE(BringToFront(frame));
  EXPECT_TRUE(PumpUntil(2000, [&] { return CapturePixels(Board(frame)) == paused; }));
  EXPECT_TRUE(BoardStill(frame, 1500));
  // Only the pause button resumes it.
  Command(frame, IDM_PAUSE);
  EXPECT_TRUE(BoardMovesWithin(frame, 1000));
  EXPECT_EQ(game.Exit(), 0u);
}

std::vector<ScoreEntry> StoredScores() {
  std::vector<ScoreEntry> entries;
  for (int slot = 0; slot < 10; ++slot) {
    const auto value =
        test_support::ReadValue(HKEY_CURRENT_USER, kScoreKey, std::to_wstring(slot).c_str());
    if (!value || value->type != REG_BINARY || value->bytes.size() != kRecordSize) continue;
    ScoreRecord stored = {};
    std::memcpy(stored.data(), value->bytes.data(), kRecordSize);
    ScoreEntry entry = {};
    if (DecodeRecord(stored, entry)) entries.push_back(entry);
  }
  return entries;
}

void StoreFullTable(int32_t score) {
  for (int slot = 0; slot < 10; ++slot) {
    ScoreEntry entry;
    std::memset(&entry, 0, sizeof entry);
    entry.SetName((L"Best " + std::to_wstring(slot)).c_str());
    entry.score = score + slot;
    entry.date = 45292.0;
    const ScoreRecord stored = EncodeRecord(entry);
    test_support::WriteValue(HKEY_CURRENT_USER, kScoreKey, std::to_wstring(slot).c_str(),
                             REG_BINARY, stored.data(), kRecordSize);
  }
}

TEST_F(TalvexTest, GameEndsIntoTheTableThenIntoGameOver) {
  SetDword(kOptionsKey, L"InitialLevel", 9);
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);

  // First game, empty table: the scores dialog waits for a name in the new row.
  std::wstring score;
  HWND dialog = PlayToTheEnd(game, frame, score);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(dialog), L"Scores");
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), frame);
  HWND list = GetDlgItem(dialog, IDC_SCORE_LIST);
  HWND editor = nullptr;
  ASSERT_TRUE(PumpUntil(3000, [&] {
    return (editor = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0))) !=
           nullptr;
  }));
  EXPECT_EQ(WindowText(editor), L"<Enter name here>");
  SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Ada E2E"));
  PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PostMessageW(editor, WM_KEYUP, VK_RETURN, 0xC01C0001);
  ASSERT_TRUE(PumpUntil(3000, [&] { return SendMessageW(list, LVM_GETEDITCONTROL, 0, 0) == 0; }));
  SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the title-bar OK
  ASSERT_TRUE(PumpUntil(3000, [&] { return !IsWindow(dialog); }));
  // Entered with OK: no "Game over!" after it.
  EXPECT_EQ(game.WaitForDialog(700), nullptr);

  const auto entries = StoredScores();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_STREQ(entries[0].name, L"Ada E2E");
  EXPECT_EQ(std::to_wstring(entries[0].score), score);
  EXPECT_NE(score, L"0");

  // Second game against a full table of better scores: only the message.
  StoreFullTable(100000);
  Command(frame, IDM_NEW_GAME);
  ASSERT_TRUE(PumpUntil(3000, [&] { return WindowText(Labels(frame)[3]) == L"0"; }));
  HWND box = PlayToTheEnd(game, frame, score);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), L"Game over!");
  EXPECT_EQ(WindowText(box), L"Talvenor");
  EXPECT_EQ(GetWindow(box, GW_OWNER), frame);
  SendMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(PumpUntil(3000, [&] { return !IsWindow(box); }));
  EXPECT_EQ(StoredScores().size(), 10u);
  EXPECT_EQ(game.Exit(), 0u);
}

// What a task manager's "End task" or the session's end sends while the player names a score.
TEST_F(TalvexTest, CloseDuringNameEntryStoresTheNameTypedSoFar) {
  SetDword(kOptionsKey, L"InitialLevel", 9);
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  std::wstring score;
  HWND dialog = PlayToTheEnd(game, frame, score);
  ASSERT_NE(dialog, nullptr);
  HWND list = GetDlgItem(dialog, IDC_SCORE_LIST);
  HWND editor = nullptr;
  ASSERT_TRUE(PumpUntil(3000, [&] {
    return (editor = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0))) !=
           nullptr;
  }));
  SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Half typ"));
  PostMessageW(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(game.WaitForExit(10000), 0u);
  const auto entries = StoredScores();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_STREQ(entries[0].name, L"Half typ");
  EXPECT_EQ(std::to_wstring(entries[0].score), score);
}

// What the session's end finds open, opened over a running game; returns the innermost dialog
// or box (null for none, or when it did not show up).
enum class OpenAtSessionEnd {
  Nothing,
  Options,
  SetupKeys,
  About,
  Scores,
  PublishScore,
  NameEntry,
  GameOver
};

HWND OpenForSessionEnd(TalvexProcess& game, HWND frame, OpenAtSessionEnd what) {
  using Open = OpenAtSessionEnd;
  std::wstring score;
  switch (what) {
    case Open::Nothing:
      return nullptr;
    case Open::Options:
    case Open::SetupKeys: {
      Command(frame, IDM_OPTIONS);
      HWND options = game.WaitForDialog(5000, L"Options");
      if (!options) return nullptr;
      SendDlgItemMessageW(options, IDC_PLAY_SOUND, BM_SETCHECK, BST_CHECKED, 0);
      if (what == Open::Options) return options;
      PostMessageW(options, WM_COMMAND, MAKEWPARAM(IDC_SETUP_KEYS, BN_CLICKED), 0);
      return game.WaitForDialog(5000, L"Setup keys");
    }
    case Open::About:
      Command(frame, IDM_ABOUT);
      return game.WaitForDialog(5000, L"About Talvenor");
    case Open::Scores:
    case Open::PublishScore: {
      if (what == Open::PublishScore) StoreFullTable(100000);
      Command(frame, IDM_SCORES);
      HWND scores = game.WaitForDialog(5000, L"Scores");
      if (!scores || what == Open::Scores) return scores;
      // The first row chosen from the keyboard gives the button its use.
      HWND list = GetDlgItem(scores, IDC_SCORE_LIST);
      PostMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
      PostMessageW(list, WM_KEYUP, VK_DOWN, 1 | (LPARAM{3} << 30));
      HWND publish = GetDlgItem(scores, IDC_PUBLISH);
      if (!PumpUntil(3000, [&] { return IsWindowEnabled(publish) != FALSE; })) return nullptr;
      PostMessageW(scores, WM_COMMAND, MAKEWPARAM(IDC_PUBLISH, BN_CLICKED),
                   reinterpret_cast<LPARAM>(publish));
      return game.WaitForDialog(5000, L"Publish score");
    }
    case Open::NameEntry: {
      HWND dialog = PlayToTheEnd(game, frame, score);
      if (!dialog) return nullptr;
      HWND list = GetDlgItem(dialog, IDC_SCORE_LIST);
      HWND editor = nullptr;
      if (!PumpUntil(3000, [&] {
            return (editor = reinterpret_cast<HWND>(
                        SendMessageW(list, LVM_GETEDITCONTROL, 0, 0))) != nullptr;
          })) {
        return nullptr;
      }
      SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Logging off"));
      return dialog;
    }
    case Open::GameOver:
      StoreFullTable(100000);
      return PlayToTheEnd(game, frame, score);
  }
  return nullptr;
}

// The session's end, as the two messages the system sends to each top-level window: ending, the
// game keeps what a close keeps and goes; cancelled, it changes nothing and plays on.
TEST_F(TalvexTest, SessionEndKeepsWhatACloseKeeps) {
  using Open = OpenAtSessionEnd;
  const struct {
    const char* name;
    Open open;
  } kOpen[] = {
      {"nothing", Open::Nothing},      {"Options with a change", Open::Options},
      {"Setup keys", Open::SetupKeys}, {"About", Open::About},
      {"Scores", Open::Scores},        {"Publish score", Open::PublishScore},
      {"name entry", Open::NameEntry}, {"Game over!", Open::GameOver},
  };
  for (const auto& c : kOpen) {
    for (const bool ending : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (ending ? ", ending" : ", cancelled"));
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kOptionsKey, L"WindowPlacement");
      RegDeleteTreeW(HKEY_CURRENT_USER, kScoreKey);
      SetDword(kOptionsKey, L"InitialLevel", 9);
      SetDword(kOptionsKey, L"PlaySound", 0);
      TalvexProcess game;
      ASSERT_TRUE(game.Start());
      HWND frame = game.WaitForFrame(kStartTimeout);
      ASSERT_NE(frame, nullptr);
      HWND dialog = OpenForSessionEnd(game, frame, c.open);
      if (c.open != Open::Nothing) {
        ASSERT_NE(dialog, nullptr);
      }
      const auto scoresBefore = StoredScores().size();

      DWORD_PTR agreed = 0;
      ASSERT_TRUE(SendMessageTimeoutW(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                      SMTO_ABORTIFHUNG, 5000, &agreed));
      EXPECT_EQ(agreed, DWORD_PTR{TRUE});
      DWORD_PTR ignored = 0;
      ASSERT_TRUE(SendMessageTimeoutW(frame, WM_ENDSESSION, ending, ENDSESSION_LOGOFF,
                                      SMTO_ABORTIFHUNG, 5000, &ignored));
      // What is stored is read as soon as the message has returned: the system may end the
      // process at once.
      const bool placed =
          test_support::ReadValue(HKEY_CURRENT_USER, kOptionsKey, L"WindowPlacement").has_value();
      const auto sound = test_support::ReadValue(HKEY_CURRENT_USER, kOptionsKey, L"PlaySound");
      const auto scores = StoredScores();
      EXPECT_EQ(placed, ending);
      ASSERT_TRUE(sound && sound->bytes.size() == 4);
      const bool ticked = c.open == Open::Options || c.open == Open::SetupKeys;
      EXPECT_EQ(sound->bytes[0], ending && ticked ? 1 : 0);
      if (c.open == Open::NameEntry) {
        ASSERT_EQ(scores.size(), ending ? 1u : 0u);
        if (ending) {
          EXPECT_STREQ(scores[0].name, L"Logging off");
        }
      } else {
        EXPECT_EQ(scores.size(), scoresBefore);
      }
      if (ending) {
        EXPECT_EQ(game.WaitForExit(5000), 0u);
        continue;
      }
      EXPECT_EQ(game.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE));
      if (dialog) {
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
      }
      PostMessageW(frame, WM_CLOSE, 0, 0);
      EXPECT_EQ(game.WaitForExit(10000), 0u);
    }
  }
}

// The session's end as Wine's own wineboot makes it, with a change waiting in Options.
TEST_F(TalvexTest, WinebootEndSessionKeepsTheOptionsAndThePlace) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kOptionsKey, L"WindowPlacement");
  SetDword(kOptionsKey, L"PlaySound", 0);
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(OpenForSessionEnd(game, frame, OpenAtSessionEnd::Options), nullptr);

  wchar_t command[] = L"wineboot.exe --end-session";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION boot = {};
  ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &boot));
  EXPECT_TRUE(PumpUntil(20000, [&] { return WaitForSingleObject(boot.hProcess, 0) == 0; }));
  CloseHandle(boot.hThread);
  CloseHandle(boot.hProcess);
  EXPECT_NE(game.WaitForExit(10000), static_cast<DWORD>(STILL_ACTIVE));
  const auto sound = test_support::ReadValue(HKEY_CURRENT_USER, kOptionsKey, L"PlaySound");
  ASSERT_TRUE(sound && sound->bytes.size() == 4);
  EXPECT_EQ(sound->bytes[0], 1);
  EXPECT_TRUE(
      test_support::ReadValue(HKEY_CURRENT_USER, kOptionsKey, L"WindowPlacement").has_value());
}

// Whether the game's process has a library of that file name loaded.
bool HasLoaded(const TalvexProcess& game, const wchar_t* fileName) {
  HMODULE modules[512];
  DWORD bytes = 0;
  if (!EnumProcessModules(game.Handle(), modules, sizeof modules, &bytes)) {
    ADD_FAILURE() << "cannot list the game's libraries";
    return false;
  }
  for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < std::size(modules); ++i) {
    wchar_t name[MAX_PATH] = {};
    if (GetModuleBaseNameW(game.Handle(), modules[i], name, MAX_PATH) &&
        lstrcmpiW(name, fileName) == 0) {
      return true;
    }
  }
  return false;
}

// What the game holds, as upper limits: measured under Wine 8 at 240 x 320 and 1024 x 768 (169
// or 170 GDI objects at start, 223 to 225 after a game, 12 windows), with room for two more of
// the device contexts Wine keeps when more were in use at once (three objects each). A drawing
// object more per cell colour, per window or per game, or a window more, goes over them.
TEST_F(TalvexTest, StartsLightAndStaysSoThroughAGame) {
  constexpr int kGdiAtStart = 176, kGdiAfterAGame = 231, kWindows = 12;
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  Pump(500);
  const int gdiAtStart = CountGdiObjects(game.Handle()).objects;
  ASSERT_GT(gdiAtStart, 0) << "cannot count GDI objects";
  EXPECT_LE(gdiAtStart, kGdiAtStart);
  EXPECT_LE(CountWindows(game.Id()), kWindows);
  // Sound, the launch of links and the score's date load when first used.
  for (const wchar_t* late : {L"winmm.dll", L"shell32.dll", L"oleaut32.dll"}) {
    EXPECT_FALSE(HasLoaded(game, late)) << "at start: " << testing::PrintToString(late);
  }

  std::wstring score;
  HWND shown = PlayToTheEnd(game, frame, score);
  ASSERT_NE(shown, nullptr);
  ASSERT_TRUE(AnswerGameEnd(shown, L"Light"));
  Pump(500);
  EXPECT_TRUE(HasLoaded(game, L"oleaut32.dll")) << "the new score's date";
  const int gdiAfter = CountGdiObjects(game.Handle()).objects;
  EXPECT_LE(gdiAfter, kGdiAfterAGame);
  EXPECT_LE(CountWindows(game.Id()), kWindows);
  EXPECT_EQ(game.Exit(), 0u);
}

TEST_F(TalvexTest, ExitFromTheMenuBarEndsWithZero) {
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr);
  // A tap on "Extras" opens the menu above the bar; Exit is its last item.
  HWND toolbar = test_support::MenuBarToolbar(frame);
  ASSERT_NE(toolbar, nullptr);
  PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
  PostMessageW(toolbar, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
  HWND popup = nullptr;
  ASSERT_TRUE(PumpUntil(3000, [&] {
    return (popup = test_support::FindVisibleWindow(L"#32768", game.Id())) != nullptr;
  }));
  for (WPARAM key : {VK_UP, VK_RETURN}) {
    PostMessageW(popup, WM_KEYDOWN, key, 1);
    PostMessageW(popup, WM_KEYUP, key, 0xC0000001);
  }
  EXPECT_EQ(game.WaitForExit(5000), 0u);
  EXPECT_FALSE(IsWindow(frame));
}

}  // namespace
