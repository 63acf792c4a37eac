#pragma once
// A plain top-level window to host the views, and a board view whose rules state a test can
// set directly.
#include <windows.h>

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
