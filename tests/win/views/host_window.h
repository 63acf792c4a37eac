#pragma once
// A plain top-level window to host the views, and a board view whose rules state a test can
// set directly.
#include <windows.h>

#include "pixels.h"
#include "shell/res/resource.h"
#include "ui/window.h"
#include "views/board_view.h"

class HostWindow : public ui::Window<HostWindow> {
 public:
  static constexpr const wchar_t* kClassName = L"TalvenorViewsHost";
  static void FillClass(WNDCLASSW& wc) {
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  }
  ~HostWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  // A borderless window whose client area is exactly the rectangle.
  HWND Open(const RECT& rect) {
    return Create(0, L"views", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, rect, nullptr, nullptr,
                  GetModuleHandleW(nullptr));
  }
};

class BoardProbe : public BoardView {
 public:
  using BoardView::backBuffer;
  using BoardView::memDC;
  using GameController::board;
  using GameController::current;
  using GameController::flags;
  using GameController::pieces;
  using GameController::rotation;
  using GameController::x;
  using GameController::y;

  HWND Open(HWND parent, const RECT& rect) {
    SetTexture(GetModuleHandleW(nullptr), IDB_TEXTURE);
    return Create(0, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect,
                  parent, reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr));
  }
  void Rest(int row, int column, int colour) {
    if (board.cells[row][column] == 0) ++board.rowFill[row];
    board.cells[row][column] = static_cast<uint8_t>(colour + 1);
  }
  // A falling piece in a running game, without the clock.
  void Fall(int piece, int state, int column, int row) {
    current = &pieces[piece];
    rotation = static_cast<uint32_t>(state);
    x = static_cast<uint8_t>(column);
    y = static_cast<uint8_t>(row);
    flags = Running;
    landing = board.LandingRow(current->rotations[state], column, row);
  }
  void Repaint() {
    InvalidateAll();
    UpdateNow();
  }
  void Step(int action) {
    Press(action);
    Release();
  }
};

// What the board window should show: the well in its frame, the resting cells (flashing when
// their row is full) and the falling piece.
inline Picture Expected(BoardProbe& board, int width, int height) {
  Picture p(width, height, GetSysColor(COLOR_WINDOW));
  const RECT& f = board.FrameRect();
  p.Box(f.left, f.top, f.right, f.bottom - 1, GetSysColor(COLOR_BTNSHADOW));
  for (int row = 0; row < Board::kRows; ++row) {
    const bool full = board.board.rowFill[row] == Board::kColumns;
    for (int column = 0; column < Board::kColumns; ++column) {
      const int v = board.board.cells[row][column];
      if (v == 0) continue;
      const Shades& s = kShades[v - 1];
      p.Cell(board.CellRect(row, column), s.light, s.dark,
             full ? GetSysColor(COLOR_INFOBK) : s.fill);
    }
  }
  if (board.current) {
    const Shades& s = kShades[board.current->colour];
    for (const CellOffset& o : board.current->rotations[board.rotation].offsets) {
      if (board.y + o.dy < Board::kRows) {
        p.Cell(board.CellRect(board.y + o.dy, board.x + o.dx), s.light, s.dark, s.fill);
      }
    }
  }
  return p;
}
