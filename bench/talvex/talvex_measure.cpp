// Talvex and Wine's Minesweeper side by side: time to the first painted playing field, CPU over
// a minute of play and of pause, private memory, and GDI and USER objects at start and after a
// whole game. Prints a table with the ratio Talvex / Minesweeper, the floor (a program that
// paints one rectangle in one window) beside them, and the GDI objects of each by kind.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <utility>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "process_figures.h"
#include "screen.h"
#include "talvex_process.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/win_support.h"

namespace {

int g_startRuns = 5;
DWORD g_minute = 60000;
const wchar_t kMinesweeper[] = L"C:\\windows\\system32\\winemine.exe";

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

size_t DistinctColours(const std::vector<COLORREF>& pixels) {
  std::vector<COLORREF> sorted = pixels;
  std::sort(sorted.begin(), sorted.end());
  return static_cast<size_t>(std::unique(sorted.begin(), sorted.end()) - sorted.begin());
}

struct Found {
  DWORD process;
  HWND window;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM lParam) {
  auto* found = reinterpret_cast<Found*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == found->process && IsWindowVisible(hwnd) && !GetWindow(hwnd, GW_OWNER)) {
    found->window = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND MainWindow(DWORD process) {
  Found found = {process, nullptr};
  EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

// Each program's first painted field is seen in a square of this side at a fixed point: the same
// cost of looking for every program and at every size, so that what the poll costs does not grow
// with the window and land on the start it measures.
constexpr int kPatch = 32;

POINT ClientCentre(HWND hwnd) {
  RECT r = {};
  GetClientRect(hwnd, &r);
  return {r.right / 2, r.bottom / 2};
}

// The well is painted once its stone texture shows at its centre.
bool WellPainted(HWND frame) {
  HWND board = frame ? Board(frame) : nullptr;
  return board && IsWindowVisible(board) &&
         DistinctColours(CapturePatch(board, ClientCentre(board), kPatch)) >= 8;
}

constexpr COLORREF kYellow = RGB(255, 255, 0);

// The mine field is painted once the face above it shows, drawn last; the floor's rectangle has
// the same yellow. Looked for in the patch round the point where it shows.
bool YellowPainted(HWND window, POINT at) {
  if (!window) return false;
  for (COLORREF c : CapturePatch(window, at, kPatch)) {
    if (c == kYellow) return true;
  }
  return false;
}

// Where in the client area the window shows its yellow (the middle of it), found once over the
// whole window outside the timed starts; x is -1 while there is none.
POINT FindYellow(HWND window) {
  RECT frame = {};
  POINT origin = {0, 0};
  if (!window || !GetWindowRect(window, &frame) || !ClientToScreen(window, &origin)) {
    return {-1, -1};
  }
  const int width = frame.right - frame.left;
  const auto pixels = CapturePixels(window);
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
  for (size_t i = 0; i < pixels.size(); ++i) {
    if (pixels[i] != kYellow) continue;
    const int x = static_cast<int>(i % width), y = static_cast<int>(i / width);
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  if (right < 0) return {-1, -1};
  return {frame.left + (left + right) / 2 - origin.x, frame.top + (top + bottom) / 2 - origin.y};
}

// A program measured beside the game: Minesweeper, whose games it can play, or the floor.
class Reference {
 public:
  explicit Reference(std::wstring path = kMinesweeper) : path_(std::move(path)) {}
  ~Reference() {
    if (info_.hProcess) {
      TerminateProcess(info_.hProcess, 0);
      WaitForSingleObject(info_.hProcess, 5000);
      CloseHandle(info_.hProcess);
      CloseHandle(info_.hThread);
    }
  }
  bool Start() {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + path_ + L"\"";
    return CreateProcessW(path_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info_) != FALSE;
  }
  HWND Window() const { return MainWindow(info_.dwProcessId); }
  // F2 starts a new game.
  void NewGame() {
    PostMessageW(Window(), WM_KEYDOWN, VK_F2, 0);
    PostMessageW(Window(), WM_KEYUP, VK_F2, 0xC0000001);
    Pump(300);
  }
  HANDLE Handle() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }

  // Clicks every box of the field until the game is over (won or lost), answering any dialog.
  void PlayToTheEnd() {
    HWND window = Window();
    RECT client = {};
    GetClientRect(window, &client);
    // The field is 9 x 9 boxes of 16 pixels, 5 pixels in from the left and the bottom.
    const int left = 5, top = client.bottom - 5 - 9 * 16;
    for (int row = 0; row < 9; ++row) {
      for (int column = 0; column < 9; ++column) {
        const LPARAM at = MAKELPARAM(left + column * 16 + 8, top + row * 16 + 8);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(window, WM_LBUTTONUP, 0, at);
        CloseDialogs();
      }
    }
    Pump(500);
    CloseDialogs();
  }

 private:
  void CloseDialogs() {
    HWND dialog = test_support::FindVisibleWindow(L"#32770", info_.dwProcessId);
    if (dialog) PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  }

  std::wstring path_;
  PROCESS_INFORMATION info_ = {};
};

std::wstring FloorPath() {
  return test_support::BinFolder() + L"floor_window.exe";
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double TalvexStartMs() {
  TalvexProcess game;
  const double start = Now();
  if (!game.Start()) return -1;
  HWND frame = nullptr;
  const bool painted = PumpUntil(20000, [&] {
    if (!frame) frame = MainWindow(game.Id());
    return WellPainted(frame);
  });
  const double elapsed = Now() - start;
  game.Exit();
  return painted ? elapsed : -1;
}

double ReferenceStartMs(const std::wstring& path, POINT yellow) {
  Reference program(path);
  const double start = Now();
  if (!program.Start()) return -1;
  const bool painted = PumpUntil(20000, [&] { return YellowPainted(program.Window(), yellow); });
  return painted ? Now() - start : -1;
}

// The warm-up start of a reference program, which also finds where it shows its yellow.
POINT LocateYellow(const std::wstring& path) {
  Reference program(path);
  POINT at = {-1, -1};
  if (!program.Start()) return at;
  PumpUntil(20000, [&] { return (at = FindYellow(program.Window())).x >= 0; });
  return at;
}

// A minute of play at level 1: each new piece is sent to another column, so the well does not
// fill up in the middle.
void PlayFor(HWND frame, DWORD ms) {
  const int shifts[] = {-4, 4, -2, 2, 0, -3, 3, -1, 1};
  const HWND score = Labels(frame)[3];
  std::wstring last = WindowText(score);
  size_t piece = 0;
  const DWORD end = GetTickCount() + ms;
  // The first piece is already on its way.
  bool steer = true;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    if (steer) {
      const int shift = shifts[piece++ % std::size(shifts)];
      for (int i = 0; i < std::abs(shift); ++i) {
        PressButton(frame, shift < 0 ? ActionLeft : ActionRight);
        ReleaseButton(frame, shift < 0 ? ActionLeft : ActionRight);
      }
      steer = false;
    }
    Pump(100);
    const std::wstring now = WindowText(score);
    if (now != last) {
      last = now;
      Pump(600);  // the next piece enters half a second later
      steer = true;
    }
  }
}

// Whether the falling piece moves on the board within one gravity step at level 1 and more.
bool BoardMoves(HWND frame) {
  const auto before = CapturePixels(Board(frame));
  return PumpUntil(1500, [&] { return CapturePixels(Board(frame)) != before; });
}

// Toggles the pause button until the game runs (or stands still), as seen on the screen.
bool SetRunning(HWND frame, bool running) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (BoardMoves(frame) == running) return true;
    Command(frame, IDM_PAUSE);
    Pump(200);
  }
  return BoardMoves(frame) == running;
}

void PlayTalvexToTheEnd(TalvexProcess& game, HWND frame) {
  std::wstring score;
  if (HWND shown = PlayToTheEnd(game, frame, score, 120000)) AnswerGameEnd(shown, L"Bench");
  Pump(500);
}

// floor < 0: not measured for the floor.
void Row(const char* name, double talvex, double mines, const char* unit, double floor = -1) {
  char floorText[16] = "";
  if (floor >= 0) snprintf(floorText, sizeof floorText, "%.2f", floor);
  // A reference below the measurement's resolution gives no ratio.
  if (mines > 0) {
    printf("%-38s %12.2f %12.2f %-4s %8.2f %10s\n", name, talvex, mines, unit, talvex / mines,
           floorText);
  } else {
    printf("%-38s %12.2f %12.2f %-4s %8s %10s\n", name, talvex, mines, unit, "n/a", floorText);
  }
}

// The census: each program's GDI objects by kind at start and after its games.
void KindRows(const std::vector<std::pair<const char*, const ProcessFigures*>>& columns) {
  printf("\nGDI objects by kind (handle table)\n%-14s", "");
  for (const auto& column : columns) printf(" %14s", column.first);
  printf("\n");
  for (int kind = 1; kind < 256; ++kind) {
    bool any = false;
    for (const auto& column : columns) any = any || column.second->gdiByType[kind] != 0;
    if (!any) continue;
    const char* name = GdiTypeName(kind);
    if (name) {
      printf("%-14s", name);
    } else {
      printf("kind %02x       ", kind);
    }
    for (const auto& column : columns) printf(" %14d", column.second->gdiByType[kind]);
    printf("\n");
  }
}

}  // namespace

// "quick": one start each and 5-second phases, to try the measurement out; "maximised": the
// minutes of play and pause with the game maximised.
int wmain(int argc, wchar_t** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  bool maximised = false;
  for (int i = 1; i < argc; ++i) {
    if (lstrcmpW(argv[i], L"quick") == 0) {
      g_startRuns = 1;
      g_minute = 5000;
    }
    if (lstrcmpW(argv[i], L"maximised") == 0) maximised = true;
  }
  printf("Talvex and Minesweeper under Wine, measured from outside\n\n");
  // Warm-up: the first start of each pays for loading Wine's libraries.
  TalvexStartMs();
  const POINT face = LocateYellow(kMinesweeper);
  const POINT square = LocateYellow(FloorPath());
  if (face.x < 0 || square.x < 0) {
    fprintf(stderr, "talvex_measure: Minesweeper's face or the floor's square never showed\n");
    return 1;
  }
  std::vector<double> talvexStarts, mineStarts, floorStarts;
  for (int i = 0; i < g_startRuns; ++i) {
    talvexStarts.push_back(TalvexStartMs());
    mineStarts.push_back(ReferenceStartMs(kMinesweeper, face));
    floorStarts.push_back(ReferenceStartMs(FloorPath(), square));
    fprintf(stderr, "start run %d: %.0f ms / %.0f ms / floor %.0f ms\n", i + 1, talvexStarts.back(),
            mineStarts.back(), floorStarts.back());
  }
  ProcessFigures floorFigures;
  {
    Reference floor(FloorPath());
    if (floor.Start() && PumpUntil(20000, [&] { return YellowPainted(floor.Window(), square); })) {
      Pump(2000);
      floorFigures = Measure(floor.Handle(), floor.Id(), L"floor_window.exe");
    }
  }

  TalvexProcess game;
  Reference mines;
  if (!game.Start() || !mines.Start()) {
    fprintf(stderr, "talvex_measure: could not start both programs\n");
    return 1;
  }
  HWND frame = game.WaitForFrame(20000);
  // The game covers the whole screen: Minesweeper has to be in front to be seen.
  if (!frame || !PumpUntil(20000, [&] {
        if (HWND window = mines.Window()) SetForegroundWindow(window);
        return YellowPainted(mines.Window(), face);
      })) {
    fprintf(stderr, "talvex_measure: no frame (%p) or no painted mine field\n",
            static_cast<void*>(frame));
    return 2;
  }
  // Minesweeper took the foreground, which paused the game; back in front it stays paused until
  // the pause button.
  test_support::BringToFront(frame, 2000);
  if (maximised) {
    PostMessageW(frame, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    if (!PumpUntil(3000, [&] { return IsZoomed(frame) != FALSE; })) {
      fprintf(stderr, "talvex_measure: the game does not maximise\n");
      return 5;
    }
  }
  if (!SetRunning(frame, true)) {
    fprintf(stderr, "talvex_measure: the game does not run\n");
    return 3;
  }
  Pump(2000);
  const ProcessFigures talvexStart = Measure(game.Handle(), game.Id(), L"talvex.exe");
  const ProcessFigures minesStart = Measure(mines.Handle(), mines.Id(), L"winemine.exe");

  PlayFor(frame, g_minute);
  const ProcessFigures talvexPlayed = Measure(game.Handle(), game.Id(), L"talvex.exe");
  const ProcessFigures minesPlayed = Measure(mines.Handle(), mines.Id(), L"winemine.exe");

  if (!SetRunning(frame, false)) {
    fprintf(stderr, "talvex_measure: the game does not pause\n");
    return 4;
  }
  const ProcessFigures talvexPausing = Measure(game.Handle(), game.Id(), L"talvex.exe");
  const ProcessFigures minesPausing = Measure(mines.Handle(), mines.Id(), L"winemine.exe");
  Pump(g_minute);
  const ProcessFigures talvexPaused = Measure(game.Handle(), game.Id(), L"talvex.exe");
  const ProcessFigures minesPaused = Measure(mines.Handle(), mines.Id(), L"winemine.exe");
  SetRunning(frame, true);

  PlayTalvexToTheEnd(game, frame);
  mines.PlayToTheEnd();
  const ProcessFigures talvexAfter = Measure(game.Handle(), game.Id(), L"talvex.exe");
  const ProcessFigures minesAfter = Measure(mines.Handle(), mines.Id(), L"winemine.exe");
  const std::wstring firstScore = WindowText(Labels(frame)[3]);

  // A second whole game shows whether anything grows with every game.
  Command(frame, IDM_NEW_GAME);
  PumpUntil(2000, [&] { return WindowText(Labels(frame)[3]) == L"0"; });
  PlayTalvexToTheEnd(game, frame);
  mines.NewGame();
  mines.PlayToTheEnd();
  const ProcessFigures talvexAgain = Measure(game.Handle(), game.Id(), L"talvex.exe");
  const ProcessFigures minesAgain = Measure(mines.Handle(), mines.Id(), L"winemine.exe");

  printf("%-38s %12s %12s %-4s %8s %10s\n", "", "Talvex", "Minesweeper", "", "ratio", "floor");
  Row("start to first painted field (median)", Median(talvexStarts), Median(mineStarts), "ms",
      Median(floorStarts));
  Row("CPU over 60 s of play at level 1", talvexPlayed.cpuSeconds - talvexStart.cpuSeconds,
      minesPlayed.cpuSeconds - minesStart.cpuSeconds, "s");
  Row("CPU over 60 s paused", talvexPaused.cpuSeconds - talvexPausing.cpuSeconds,
      minesPaused.cpuSeconds - minesPausing.cpuSeconds, "s");
  Row("private memory at start", talvexStart.privateKb, minesStart.privateKb, "KiB",
      floorFigures.privateKb);
  Row("private memory after a whole game", talvexAfter.privateKb, minesAfter.privateKb, "KiB");
  Row("GDI objects at start", talvexStart.gdiObjects, minesStart.gdiObjects, "",
      floorFigures.gdiObjects);
  Row("GDI objects after a whole game", talvexAfter.gdiObjects, minesAfter.gdiObjects, "");
  Row("USER objects at start", talvexStart.userObjects, minesStart.userObjects, "",
      floorFigures.userObjects);
  Row("USER objects after a whole game", talvexAfter.userObjects, minesAfter.userObjects, "");
  Row("private memory after a second game", talvexAgain.privateKb, minesAgain.privateKb, "KiB");
  Row("GDI objects after a second game", talvexAgain.gdiObjects, minesAgain.gdiObjects, "");
  Row("USER objects after a second game", talvexAgain.userObjects, minesAgain.userObjects, "");
  KindRows({{"Talvex start", &talvexStart},
            {"after a game", &talvexAfter},
            {"after two", &talvexAgain},
            {"Minesweeper", &minesAgain},
            {"floor", &floorFigures}});
  printf("\nstart runs (ms, Talvex/Minesweeper/floor):");
  for (size_t i = 0; i < talvexStarts.size(); ++i) {
    printf(" %.0f/%.0f/%.0f", talvexStarts[i], mineStarts[i], floorStarts[i]);
  }
  printf("\nsources: CPU %ls; memory %ls; GDI %ls; USER %ls\n", talvexStart.cpuSource.c_str(),
         talvexStart.memorySource.c_str(), talvexStart.gdiSource.c_str(),
         talvexStart.userSource.c_str());
  printf("Talvex final scores %ls and %ls\n", firstScore.c_str(),
         WindowText(Labels(frame)[3]).c_str());
  game.Exit();
  return 0;
}
