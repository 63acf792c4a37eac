// Plays a short game by itself in a handheld-sized window: the board view and the preview as
// the game shows them. It freezes on the first flashing row after a few pieces (or when its
// time is up), checks that the screen shows exactly the rules' state, and then holds the
// picture so that a screenshot can be taken from outside.
//   views_demo [READY_FILE [HOLD_MS]]   READY_FILE is created once the picture holds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "host_window.h"
#include "pixels.h"
#include "views/preview_view.h"

namespace {

constexpr int kBoardWidth = 154, kBoardHeight = 284;
constexpr DWORD kStepMs = 40;
constexpr DWORD kPlayLimitMs = 40000;
constexpr int kPiecesBeforeFreeze = 9;

class Demo : public BoardProbe, public GameEvents {
 public:
  PreviewView* preview = nullptr;
  int pieceNumber = 0;

  void OnNextPiece() override {
    ++pieceNumber;
    if (preview) preview->SetPiece(NextPiece());
  }

  // One button press toward the planned resting place of the falling piece.
  void PlayStep() {
    if (!current || (flags & (Dropping | RowsPending | Paused)) || !(flags & Running)) return;
    if (plannedFor != pieceNumber) Plan();
    int action = ActionDrop;
    if (++stepsThisPiece < 16) {
      if (rotation != targetRotation) {
        action = ActionRotate;
      } else if (x < targetX) {
        action = ActionRight;
      } else if (x > targetX) {
        action = ActionLeft;
      }
    }
    Step(action);
  }

 private:
  // The placement that keeps the well low, flat and free of holes.
  void Plan() {
    plannedFor = pieceNumber;
    stepsThisPiece = 0;
    double best = -1e9;
    targetRotation = rotation;
    targetX = x;
    for (uint32_t r = 0; r < current->rotationCount; ++r) {
      const Rotation& state = current->rotations[r];
      for (int column = 0; column + state.width <= Board::kColumns; ++column) {
        Board trial = board;
        const int rest = trial.LandingRow(state, column, Board::kRows);
        if (rest >= Board::kRows) continue;
        trial.Place(state, column, rest, 1);
        const int lines = trial.RemoveFullRows();
        int heights[Board::kColumns] = {}, holes = 0, total = 0, bumps = 0;
        for (int c = 0; c < Board::kColumns; ++c) {
          for (int row = Board::kRows - 1; row >= 0; --row) {
            if (trial.cells[row][c] && !heights[c]) heights[c] = row + 1;
            if (!trial.cells[row][c] && row < heights[c]) ++holes;
          }
          total += heights[c];
          if (c > 0) bumps += std::abs(heights[c] - heights[c - 1]);
        }
        const double score = -0.51 * total + 0.76 * lines - 0.36 * holes - 0.18 * bumps;
        if (score > best) {
          best = score;
          targetRotation = r;
          targetX = column;
        }
      }
    }
  }

  int plannedFor = -1;
  int stepsThisPiece = 0;
  uint32_t targetRotation = 0;
  int targetX = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const char* readyFile = argc > 1 ? argv[1] : nullptr;
  const DWORD holdMs = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 3000;

  HostWindow host;
  if (!host.Open(RECT{0, 0, 240, 320})) return 2;
  Demo board;
  PreviewView preview;
  board.SetEvents(&board);
  // Board and side panel as on a 240 x 320 handheld, above a 26-pixel menu bar.
  preview.SetPainter(board.Painter());
  if (!preview.Create(0, nullptr, WS_CHILD | WS_VISIBLE, RECT{164, 166, 240, 226}, host.Hwnd(),
                      reinterpret_cast<HMENU>(2), GetModuleHandleW(nullptr))) {
    return 2;
  }
  board.preview = &preview;
  if (!board.Open(host.Hwnd(), RECT{5, 5, 5 + kBoardWidth, 5 + kBoardHeight})) return 2;

  board.NewGame(3);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kPlayLimitMs && (board.Flags() & Running)) {
    Pump(kStepMs);
    if ((board.Flags() & RowsPending) && board.pieceNumber > kPiecesBeforeFreeze) break;
    board.PlayStep();
  }
  board.SetPaused(true);
  Pump(100);

  Dib screen(kBoardWidth, kBoardHeight);
  Capture(board.Hwnd(), screen);
  const int wrong = Differences(screen, Expected(board, kBoardWidth, kBoardHeight), "frozen board");
  std::printf("pieces %d, score %d, rows %d, flashing %s, wrong pixels %d\n", board.pieceNumber,
              board.Score(), board.Rows(), (board.Flags() & RowsPending) ? "yes" : "no", wrong);
  std::fflush(stdout);

  if (readyFile) {
    if (FILE* f = std::fopen(readyFile, "w")) {
      std::fputs("ready\n", f);
      std::fclose(f);
    }
  }
  Pump(holdMs);
  return wrong == 0 ? 0 : 1;
}
