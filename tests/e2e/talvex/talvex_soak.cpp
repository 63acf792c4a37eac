// Long random play against the built game (tools/soak): button messages, pause, new games, the
// dialogs opened and closed, games played to their end with a name typed into the table. Every
// 10 seconds it samples the game's GDI objects by kind, windows and private memory, asks the
// frame for an answer, and then opens every dialog once. Fails when the game ends or crashes,
// stops answering for 5 seconds, or leaks; prints the samples as a table and, on a leak, the
// kinds of GDI object that grew.
//   talvex_soak.exe [MINUTES] [SEED]   MINUTES of random play after the warm-up
//
// Under Wine the figures first climb in steps and then stay: the process keeps the device
// contexts of windows and the fonts of dialogs for reuse, as many as were ever in use at once,
// and how many were in use at once depends on timing (a fresh prefix, slower at first, reached
// higher). The warm-up takes every path a few times so that most of these steps come before the
// first sample; a step may still come later, once. What leaks grows again and again instead:
// since every dialog opens in every interval, a kind of object that leaks reaches a new high in
// nearly every interval, and one that is only kept for reuse in one or two.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "bench/talvex/process_figures.h"
#include "talvex_process.h"
#include "tests/support/gdi_objects.h"
#include "velcore/interface/velcore.h"

namespace {

// The kinds of GDI object that differ between two samples, as "font +1, DC +3"; empty when the
// counts came from somewhere that does not tell kinds apart.
std::string GdiKindsChanged(const ProcessFigures& from, const ProcessFigures& to) {
  std::string changes;
  char part[64];
  for (size_t kind = 1; kind < to.gdiByType.size(); ++kind) {
    const int change = to.gdiByType[kind] - from.gdiByType[kind];
    if (change == 0) continue;
    const char* name = GdiTypeName(static_cast<int>(kind));
    if (name) {
      snprintf(part, sizeof part, "%s%s %+d", changes.empty() ? "" : ", ", name, change);
    } else {
      snprintf(part, sizeof part, "%skind %02zx %+d", changes.empty() ? "" : ", ", kind, change);
    }
    changes += part;
  }
  return changes;
}

constexpr DWORD kSampleEvery = 10000;
constexpr DWORD kAnswerWithin = 5000;
constexpr int kWarmUpRounds = 10;
// A kind of GDI object (or the windows) counts as leaking once it has reached a new high in this
// many intervals; what Wine keeps for reuse steps up once or twice.
constexpr int kLeakingRises = 3;
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
  void EveryDialog(bool setupKeys);
  bool Paused() const;
  void Resume();
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
  bool pausing_ = false;  // a pause of its own, which it ends
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
  Resume();
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
  Resume();
}

void Soak::EveryDialog(bool setupKeys) {
  OpenAndClose(IDM_ABOUT, L"About Talvenor");
  OpenAndClose(IDM_SCORES, L"Scores");
  OpenAndClose(IDM_OPTIONS, L"Options", setupKeys);
}

bool Soak::Paused() const {
  const LRESULT state =
      SendMessageW(test_support::MenuBarToolbar(frame_), TB_GETSTATE, IDM_PAUSE, 0);
  return state != -1 && (state & TBSTATE_CHECKED);
}

void Soak::Resume() {
  pausing_ = false;
  // A dialog's own pause ends a moment after the dialog has gone; a pause that stays is the
  // frame's, from losing the focus, and waits for the button.
  if (!PumpUntil(500, [&] { return !Paused(); })) Command(frame_, IDM_PAUSE);
}

void Soak::Step() {
  // A game's end puts its dialog up on its own; answer it first.
  if (game_.FindDialog()) {
    AnswerWhatIsShown();
    return;
  }
  // A pause lasts a second or two at most, so that games go on ending.
  if (pausing_ && GetTickCount() - pausedAt_ > 1500) Resume();
  std::uniform_int_distribution<int> pick(0, 999);
  const int p = pick(random_);
  if (p < 900) {
    Button();
  } else if (p < 915 && !pausing_) {
    if (!Paused()) Command(frame_, IDM_PAUSE);
    pausing_ = true;
    pausedAt_ = GetTickCount();
  } else if (p < 916) {
    // Seldom, or games would never reach their end.
    Command(frame_, IDM_NEW_GAME);
    Resume();
  } else if (p < 926) {
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
    EveryDialog(round % 2 == 1);
    if (!Alive()) return false;
  }
  std::wstring score;
  HWND shown = PlayToTheEnd(game_, frame_, score);
  if (!shown || !AnswerGameEnd(shown, L"Warm-up")) return false;
  ++games_;
  Command(frame_, IDM_NEW_GAME);
  Resume();
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
  const std::string changed =
      samples_.size() > 1 ? GdiKindsChanged(samples_[samples_.size() - 2].figures, s.figures) : "";
  fprintf(stderr,
          "sample %6.0f s: GDI %d, windows %d, private %.0f KiB, games %d, score %ls%s%s%s\n",
          s.seconds, s.figures.gdiObjects, s.figures.userObjects, s.figures.privateKb, s.games,
          WindowText(Labels(frame_)[3]).c_str(), Paused() ? ", paused" : "",
          changed.empty() ? "" : "; GDI since the last: ", changed.c_str());
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
      if (!last) EveryDialog(samples_.size() % 2 == 0);
    }
    if (last) break;
    Step();
    if (!Alive()) return Fail("the game ended or crashed");
  }

  // Growth: how often each kind of GDI object, and the windows, reached a new high after the
  // first sample, taken right after the warm-up.
  if (samples_.size() < 2 || samples_[0].figures.gdiObjects < 0 ||
      samples_[0].figures.privateKb < 0) {
    return Fail("no figures");
  }
  const ProcessFigures& base = samples_[0].figures;
  std::string growth;
  char line[200];
  const auto judge = [&](const char* what, auto figure) {
    int high = figure(base), rises = 0;
    for (size_t i = 1; i < samples_.size(); ++i) {
      const int now = figure(samples_[i].figures);
      if (now > high) ++rises;
      high = std::max(high, now);
    }
    if (rises < kLeakingRises) return;
    snprintf(line, sizeof line, "%s rose in %d intervals, %d to %d; ", what, rises, figure(base),
             figure(samples_.back().figures));
    growth += line;
  };
  judge("windows", [](const ProcessFigures& f) { return f.userObjects; });
  bool byKind = false;
  for (size_t kind = 1; kind < base.gdiByType.size(); ++kind) {
    for (const Sample& sample : samples_) byKind = byKind || sample.figures.gdiByType[kind] != 0;
  }
  if (byKind) {
    for (size_t kind = 1; kind < base.gdiByType.size(); ++kind) {
      const char* name = GdiTypeName(static_cast<int>(kind));
      char unnamed[16];
      snprintf(unnamed, sizeof unnamed, "kind %02zx", kind);
      judge(name ? name : unnamed, [kind](const ProcessFigures& f) { return f.gdiByType[kind]; });
    }
  } else {
    judge("GDI objects", [](const ProcessFigures& f) { return f.gdiObjects; });
  }
  if (!growth.empty()) {
    growth +=
        "GDI by kind since the first sample: " + GdiKindsChanged(base, samples_.back().figures);
  }
  double lowestLately = samples_.back().figures.privateKb;
  for (size_t i = samples_.size() - std::min(samples_.size() - 1, kMemoryWindow);
       i < samples_.size(); ++i) {
    lowestLately = std::min(lowestLately, samples_[i].figures.privateKb);
  }
  if (lowestLately > base.privateKb + kMemorySlackKb) {
    snprintf(line, sizeof line, "private memory %.0f KiB at least in the last samples (from %.0f)",
             lowestLately, base.privateKb);
    growth += (growth.empty() ? "" : "; ") + std::string(line);
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
