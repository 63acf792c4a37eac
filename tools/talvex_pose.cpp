// Plays a few pieces of a real game, pauses it and holds the picture for a screenshot.
//   talvex_pose.exe READY-FILE [COMMAND | maximised]
// With COMMAND (a menu command id such as 40004, About) the picture is that dialog over the game;
// with "maximised" the game's window fills the work area.
// Creates READY-FILE once the picture holds, with the screen rectangles of the frame, the board,
// the preview and the six labels in it, and ends the game when the file is gone again.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "registry_backup.h"
#include "screen.h"
#include "talvex_process.h"

namespace {

void Tap(HWND frame, int action) {
  PressButton(frame, action);
  ReleaseButton(frame, action);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  RegistryBackup backup;
  TalvexProcess game;
  if (!game.Start()) return 3;
  HWND frame = game.WaitForFrame(20000);
  if (!frame) {
    fwprintf(stderr, L"talvex_pose: no frame; exit %lu, any GravlinCE %p\n", game.WaitForExit(0),
             static_cast<void*>(FindWindowW(L"GravlinCE", nullptr)));
    return 4;
  }

  // Column shifts and turns that spread the pieces over the bottom of the well.
  const struct {
    int shift;
    int turns;
  } kMoves[] = {{-4, 0}, {3, 1}, {0, 0}, {-2, 1}, {4, 0}, {1, 2}, {-3, 1}, {2, 0}, {-1, 3}, {3, 0}};
  const HWND score = Labels(frame)[3];
  std::vector<COLORREF> locked;  // the board as the last piece locked
  for (const auto& move : kMoves) {
    // The next piece enters half a second after the last one locked.
    if (!locked.empty()) {
      PumpUntil(2000, [&] { return CapturePixels(Board(frame)) != locked; });
    }
    for (int i = 0; i < move.turns; ++i) Tap(frame, ActionRotate);
    for (int i = 0; i < (move.shift < 0 ? -move.shift : move.shift); ++i) {
      Tap(frame, move.shift < 0 ? ActionLeft : ActionRight);
    }
    const std::wstring before = WindowText(score);
    Tap(frame, ActionDrop);
    if (!PumpUntil(5000, [&] { return WindowText(score) != before; })) break;
    locked = CapturePixels(Board(frame));
    if (game.FindDialog()) break;  // the well filled up
  }
  // Let the next piece fall a little way into the well (the time is the picture's), then hold
  // everything still.
  test_support::Pump(1200);
  Command(frame, IDM_PAUSE);
  if (!WaitForPause(frame, 5000)) return 8;
  HWND dialog = nullptr;
  if (argc > 2 && std::wstring(argv[2]) == L"maximised") {
    ShowWindow(frame, SW_MAXIMIZE);
    test_support::Pump(1000);
    RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  } else if (argc > 2) {
    Command(frame, _wtoi(argv[2]));
    dialog = game.WaitForDialog(10000);
    if (!dialog) return 7;
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  }

  HANDLE ready = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return 5;
  // Where the children stand on the screen, for measuring the picture.
  std::string where;
  auto add = [&](const char* name, HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    char line[96];
    snprintf(line, sizeof line, "%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right, r.bottom);
    where += line;
  };
  add("frame", frame);
  add("board", Board(frame));
  add("preview", FindWindowExW(frame, nullptr, L"GravlinPreviewCE", nullptr));
  for (HWND label : Labels(frame)) add("label", label);
  DWORD written = 0;
  WriteFile(ready, where.data(), static_cast<DWORD>(where.size()), &written, nullptr);
  CloseHandle(ready);
  PumpUntil(60000, [&] { return GetFileAttributesW(argv[1]) == INVALID_FILE_ATTRIBUTES; });
  if (dialog) CloseWithOk(dialog);
  return game.Exit() == 0 ? 0 : 6;
}
