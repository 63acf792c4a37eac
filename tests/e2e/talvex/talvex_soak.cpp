// Long random play against the built game (tools/soak): button messages, pause, new games, the
// dialogs opened and closed, games played to their end with a name typed into the table. Every
// 30 seconds it samples the game's GDI objects, windows and private memory, and asks the frame
// for an answer. Fails when the game ends or crashes, stops answering for 5 seconds, or when a
// figure grows after the warm-up; prints the samples as a table.
//   talvex_soak.exe [MINUTES] [SEED]   MINUTES of random play after the warm-up
//
// Under Wine the figures first climb in steps and then stay: the process keeps the device
// contexts of windows (three handles each) and the fonts of dialogs for reuse, as many as were
// ever in use at once. The warm-up takes every path a few times so that these stop growing
// before the first sample, which all later ones are held against.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "bench/talvex/process_figures.h"
#include "talvex_process.h"
#include "velcore/interface/velcore.h"

namespace {

constexpr DWORD kSampleEvery = 30000;
constexpr DWORD kAnswerWithin = 5000;
constexpr int kWarmUpRounds = 10;
// Some objects Wine makes once, the first time a path needs them (a brush now and then after a
// few minutes of play), so a rise of a few handles that then stays is no leak. A leak goes on:
// a long run also fails on any rise within its second half.
constexpr int kGdiSettle = 4;
constexpr size_t kLongRunSamples = 6;
// Private memory swings by about 2 MiB between samples under Wine; growth counts when even the
// lowest of the last samples lies above the first sample by more than that.
constexpr double kMemorySlackKb = 3072;
constexpr size_t kMemoryWindow = 3;

struct Sample {
  double seconds;
  int games, dialogs, buttons;
  ProcessFigures figures;
};

class Soak {
 public:
  Soak(double minutes, unsigned seed) : minutes_(minutes), random_(seed) {}
  int Run();

 private:
  bool Alive();
  bool Answers();
  bool Send(UINT message, WPARAM wParam);
  void Step();
  void Button();
  void OpenAndClose(int command, const wchar_t* caption, bool setupKeys = false);
  bool WarmUp();
  void AnswerWhatIsShown();
  bool TakeSample(double seconds);
  int Fail(const char* why);
  void PrintTable() const;

  double minutes_;
  std::mt19937 random_;
  TalvexProcess game_;
  HWND frame_ = nullptr;
  int games_ = 0, dialogs_ = 0, buttons_ = 0;
  bool paused_ = false;
  DWORD pausedAt_ = 0;
  std::vector<Sample> samples_;
};

bool Soak::Alive() {
  return game_.WaitForExit(0) == STILL_ACTIVE;
}

bool Soak::Answers() {
  return Send(WM_NULL, 0);
}

bool Soak::Send(UINT message, WPARAM wParam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(frame_, message, wParam, 0, SMTO_NORMAL, kAnswerWithin, &result) != 0;
}

// A game's end shows the scores dialog with the name open, or "Game over!"; a new game follows.
void Soak::AnswerWhatIsShown() {
  HWND shown = game_.FindDialog();
  if (!shown) return;
  if (AnswerGameEnd(shown, (L"Soak " + std::to_wstring(games_ + 1)).c_str())) ++games_;
  Command(frame_, IDM_NEW_GAME);
  paused_ = false;
  Pump(200);
}

void Soak::Button() {
  // Mostly drops, so that games end; now and then an action no key map should name.
  std::uniform_int_distribution<int> pick(0, 99);
  const int p = pick(random_);
  const int action = p < 40 ? 3 : p < 60 ? 0 : p < 80 ? 1 : p < 97 ? 2 : p == 97 ? -1 : 1000;
  if (Send(WM_KEYTARGET_DOWN, static_cast<WPARAM>(action))) ++buttons_;
  Send(WM_KEYTARGET_UP, static_cast<WPARAM>(action));
}

void Soak::OpenAndClose(int command, const wchar_t* caption, bool setupKeys) {
  Command(frame_, command);
  HWND dialog = game_.WaitForDialog(kAnswerWithin, caption);
  if (!dialog) return;
  if (setupKeys) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SETUP_KEYS, BN_CLICKED), 0);
    if (HWND keys = game_.WaitForDialog(kAnswerWithin, L"Setup keys")) {
      CloseWithOk(keys);
      PumpUntil(kAnswerWithin, [&] { return !IsWindow(keys); });
      ++dialogs_;
    }
  }
  Pump(50 + random_() % 150);
  CloseWithOk(dialog);
  if (PumpUntil(kAnswerWithin, [&] { return !IsWindow(dialog); })) ++dialogs_;
}

void Soak::Step() {
  // A game's end puts its dialog up on its own; answer it first.
  if (game_.FindDialog()) {
    AnswerWhatIsShown();
    return;
  }
  // A pause lasts a second or two at most, so that games go on ending.
  if (paused_ && GetTickCount() - pausedAt_ > 1500) {
    Command(frame_, IDM_PAUSE);
    paused_ = false;
  }
  std::uniform_int_distribution<int> pick(0, 999);
  const int p = pick(random_);
  if (p < 900) {
    Button();
  } else if (p < 915 && !paused_) {
    Command(frame_, IDM_PAUSE);
    paused_ = true;
    pausedAt_ = GetTickCount();
  } else if (p < 920) {
    Command(frame_, IDM_NEW_GAME);
    paused_ = false;
  } else if (p < 930) {
    const int which = static_cast<int>(random_() % 3);
    if (which == 0) OpenAndClose(IDM_OPTIONS, L"Options", random_() % 2 == 0);
    if (which == 1) OpenAndClose(IDM_SCORES, L"Scores");
    if (which == 2) OpenAndClose(IDM_ABOUT, L"About Talvenor");
  }
  Pump(15 + random_() % 30);
}

// Every dialog, the key setup and a whole game, each a few times.
bool Soak::WarmUp() {
  for (int round = 0; round < kWarmUpRounds; ++round) {
    OpenAndClose(IDM_ABOUT, L"About Talvenor");
    OpenAndClose(IDM_SCORES, L"Scores");
    OpenAndClose(IDM_OPTIONS, L"Options");
    OpenAndClose(IDM_OPTIONS, L"Options", true);
    if (!Alive()) return false;
  }
  std::wstring score;
  HWND shown = PlayToTheEnd(game_, frame_, score);
  if (!shown || !AnswerGameEnd(shown, L"Warm-up")) return false;
  ++games_;
  Command(frame_, IDM_NEW_GAME);
  return Alive();
}

bool Soak::TakeSample(double seconds) {
  // Figures are taken with no dialog up, so that they compare.
  for (int i = 0; i < 3 && game_.FindDialog(); ++i) AnswerWhatIsShown();
  Pump(300);
  if (!Answers()) return false;
  samples_.push_back(
      {seconds, games_, dialogs_, buttons_, Measure(game_.Handle(), game_.Id(), L"talvex.exe")});
  const Sample& s = samples_.back();
  fprintf(stderr, "sample %6.0f s: GDI %d, windows %d, private %.0f KiB, games %d\n", s.seconds,
          s.figures.gdiObjects, s.figures.userObjects, s.figures.privateKb, s.games);
  return true;
}

void Soak::PrintTable() const {
  printf("%8s %6s %8s %8s %6s %8s %12s\n", "time s", "games", "dialogs", "buttons", "GDI",
         "windows", "private KiB");
  for (const Sample& s : samples_) {
    printf("%8.0f %6d %8d %8d %6d %8d %12.0f\n", s.seconds, s.games, s.dialogs, s.buttons,
           s.figures.gdiObjects, s.figures.userObjects, s.figures.privateKb);
  }
  if (!samples_.empty()) {
    const ProcessFigures& f = samples_.front().figures;
    printf("sources: GDI %ls; windows %ls; memory %ls\n", f.gdiSource.c_str(), f.userSource.c_str(),
           f.memorySource.c_str());
  }
}

int Soak::Fail(const char* why) {
  PrintTable();
  printf("soak: FAILED: %s\n", why);
  return 1;
}

int Soak::Run() {
  if (!game_.Start()) return Fail("the game does not start");
  frame_ = game_.WaitForFrame(20000);
  if (!frame_) return Fail("no frame");
  const DWORD total = static_cast<DWORD>(minutes_ * 60000);
  const DWORD warmUpStart = GetTickCount();
  if (!WarmUp()) return Fail("the warm-up did not get through");
  const double warmUp = (GetTickCount() - warmUpStart) / 1000.0;
  const DWORD start = GetTickCount();
  DWORD nextSample = start;
  for (;;) {
    const DWORD now = GetTickCount();
    const bool last = now - start >= total;
    if (last || now - nextSample < 0x80000000u) {
      if (!Alive()) return Fail("the game ended or crashed");
      if (!TakeSample((GetTickCount() - start) / 1000.0)) {
        return Fail("the game did not answer within 5 seconds");
      }
      nextSample += kSampleEvery;
    }
    if (last) break;
    Step();
    if (!Alive()) return Fail("the game ended or crashed");
  }

  // Growth: every sample against the first, taken right after the warm-up; in a long run also
  // the second half against its own start, where anything that leaks keeps rising.
  if (samples_.size() < 2 || samples_[0].figures.gdiObjects < 0 ||
      samples_[0].figures.privateKb < 0) {
    return Fail("no figures");
  }
  const ProcessFigures& base = samples_[0].figures;
  const size_t half = samples_.size() / 2;
  const bool long_run = samples_.size() >= kLongRunSamples;
  std::string growth;
  char line[160];
  for (size_t i = 1; i < samples_.size(); ++i) {
    const ProcessFigures& f = samples_[i].figures;
    const bool rose = f.gdiObjects > base.gdiObjects + kGdiSettle ||
                      f.userObjects > base.userObjects ||
                      (long_run && i > half && f.gdiObjects > samples_[half].figures.gdiObjects);
    if (rose) {
      snprintf(line, sizeof line, "at %.0f s GDI %d, windows %d (from %d, %d); ",
               samples_[i].seconds, f.gdiObjects, f.userObjects, base.gdiObjects, base.userObjects);
      growth += line;
    }
  }
  double lowestLately = samples_.back().figures.privateKb;
  for (size_t i = samples_.size() - std::min(samples_.size() - 1, kMemoryWindow);
       i < samples_.size(); ++i) {
    lowestLately = std::min(lowestLately, samples_[i].figures.privateKb);
  }
  if (lowestLately > base.privateKb + kMemorySlackKb) {
    snprintf(line, sizeof line, "private memory %.0f KiB at least in the last samples (from %.0f)",
             lowestLately, base.privateKb);
    growth += line;
  }
  if (!growth.empty()) return Fail(("growth after the warm-up: " + growth).c_str());
  if (games_ == 0) return Fail("no game reached its end");
  const DWORD code = game_.Exit();
  PrintTable();
  if (code != 0) {
    printf("soak: FAILED: exit code %lu\n", code);
    return 1;
  }
  printf("soak: passed (%.1f minutes, %d games, %d dialogs, warm-up %.0f s)\n", minutes_, games_,
         dialogs_, warmUp);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  const double minutes = argc > 1 ? _wtof(argv[1]) : 1.0;
  const unsigned seed =
      argc > 2 ? static_cast<unsigned>(_wtoi(argv[2])) : static_cast<unsigned>(time(nullptr));
  if (minutes <= 0) {
    fprintf(stderr, "usage: talvex_soak.exe [MINUTES] [SEED]\n");
    return 2;
  }
  printf("Talvex soak: %.1f minutes, seed %u\n", minutes, seed);
  return Soak(minutes, seed).Run();
}
