#include "views/board_view.h"

#include <algorithm>

#include "pocketpc/coredll.h"
#include "views/back_buffer.h"

namespace {

// Whether the inclusive cell rectangle reaches into the (exclusive) update rectangle.
bool Meets(const RECT& cell, const RECT& update) {
  return cell.left < update.right && cell.right >= update.left && cell.top < update.bottom &&
         cell.bottom >= update.top;
}

}  // namespace

void BoardView::FillClass(WNDCLASSW& wc) {
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
}

std::span<const ui::MessageEntry<BoardView>> BoardView::Messages() {
  static const ui::MessageEntry<BoardView> table[] = {
      {WM_CREATE, &BoardView::OnCreate},
      {WM_DESTROY, &BoardView::OnDestroy},
      {WM_SIZE, &BoardView::OnSize},
      {WM_PAINT, &BoardView::OnPaint},
      {WM_ERASEBKGND, &BoardView::OnEraseBackground},
      {WM_TIMER, &BoardView::OnTimerMessage},
  };
  return table;
}

BoardView::~BoardView() {
  // The window must not outlive the object its procedure dispatches to.
  if (hwnd_) DestroyWindow(hwnd_);
  ReleaseBackBuffer(memDC, backBuffer);
}

void BoardView::Layout(const RECT& client) {
  clientRect = client;
  const LONG width = client.right - client.left;
  const LONG height = client.bottom - client.top;
  cellSize = std::min(width / Board::kColumns, height / Board::kRows);
  frameRect = client;
  frameRect.left += (width - Board::kColumns * cellSize + 2) / 2;
  frameRect.top += (height - Board::kRows * cellSize + 2) / 2;
  frameRect.right = frameRect.left + Board::kColumns * cellSize + 2;
  frameRect.bottom = frameRect.top + Board::kRows * cellSize + 2;
}

RECT BoardView::CellRect(int row, int column) const {
  RECT r;
  r.left = frameRect.left + cellSize * column + 1;
  r.right = r.left + cellSize - 1;
  r.top = frameRect.bottom - cellSize * (row + 1) - 1;
  r.bottom = frameRect.bottom - cellSize * row - 2;
  return r;
}

void BoardView::StartTimer() {
  // Without a window a timer would belong to the thread and never be stopped by id.
  if (hwnd_) SetTimer(hwnd_, kTimerId, kTimerPeriodMs, nullptr);
}

void BoardView::KillTimer() {
  if (hwnd_) ::KillTimer(hwnd_, kTimerId);
}

void BoardView::InvalidateAll() {
  // A null window would invalidate the whole desktop.
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void BoardView::InvalidatePiece() {
  const Rotation* state = CurrentRotation();
  if (!hwnd_ || !state) return;
  RECT r;
  r.left = frameRect.left + x * cellSize;
  r.right = r.left + state->width * cellSize + 1;
  r.bottom = frameRect.bottom - y * cellSize;
  r.top = r.bottom - 5 * cellSize - 1;
  InvalidateRect(hwnd_, &r, TRUE);
  flags |= PartialRepaint;
}

void BoardView::UpdateNow() {
  if (hwnd_) UpdateWindow(hwnd_);
}

uint32_t BoardView::Random() {
  return ::Random();
}

LRESULT BoardView::OnCreate(WPARAM, LPARAM) {
  RECT client;
  GetClientRect(hwnd_, &client);
  flags &= ~PartialRepaint;
  painter.Create(textureModule, textureId);
  Layout(client);
  board.Clear();
  BuildPieceSet(pieces);
  return 0;
}

LRESULT BoardView::OnDestroy(WPARAM, LPARAM) {
  Stop();
  painter.Destroy();
  ReleaseBackBuffer(memDC, backBuffer);
  return 0;
}

LRESULT BoardView::OnSize(WPARAM, LPARAM) {
  RECT client;
  if (TakeNewSize(hwnd_, clientRect, client, memDC, backBuffer)) Layout(client);
  return 0;
}

LRESULT BoardView::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  cellsDrawn = 0;
  if (EnsureBackBuffer(dc, client, memDC, backBuffer)) {
    DrawWell(ps.rcPaint);
    // The copy is clipped to the invalid area: cells left undrawn above stay as they were.
    BitBlt(dc, client.left, client.top, client.right - client.left, client.bottom - client.top,
           memDC, 0, 0, SRCCOPY);
  }
  flags &= ~PartialRepaint;
  EndPaint(hwnd_, &ps);
  return 0;
}

void BoardView::DrawWell(const RECT& update) {
  FillRect(memDC, &clientRect, GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ oldBrush = SelectObject(memDC, painter.patternBrush);
  HGDIOBJ oldPen = SelectObject(memDC, painter.framePen);
  Rectangle(memDC, frameRect.left, frameRect.top, frameRect.right, frameRect.bottom - 1);
  if (oldPen) SelectObject(memDC, oldPen);
  if (oldBrush) SelectObject(memDC, oldBrush);

  if (cellSize <= 0) return;  // a window too small for the well shows only its frame

  // A partial repaint redraws the resting cells that the update area reaches: the piece's old
  // and new places and the single pixel lines their rectangles take from neighbouring cells.
  const bool partial = (flags & PartialRepaint) != 0;
  for (int row = 0; row < Board::kRows; ++row) {
    const bool full = board.rowFill[row] == Board::kColumns;
    for (int column = 0; column < Board::kColumns; ++column) {
      const int v = board.cells[row][column];
      if (v == 0 || v > BlockPainter::kColours) continue;
      RECT cell = CellRect(row, column);
      if (partial && !Meets(cell, update)) continue;
      BlockPainter::DrawCell(memDC, cell, painter.lightPens[v - 1], painter.darkPens[v - 1],
                             full ? painter.flashBrush : painter.fillBrushes[v - 1]);
      ++cellsDrawn;
    }
  }

  const Rotation* state = CurrentRotation();
  if (!state) return;
  const int colour = current->colour;
  for (const CellOffset& offset : state->offsets) {
    const int row = y + offset.dy;
    if (row >= Board::kRows) continue;
    RECT cell = CellRect(row, x + offset.dx);
    BlockPainter::DrawCell(memDC, cell, painter.lightPens[colour], painter.darkPens[colour],
                           painter.fillBrushes[colour]);
    ++cellsDrawn;
  }
}

LRESULT BoardView::OnEraseBackground(WPARAM, LPARAM) {
  return 1;  // the paint covers the whole client
}

LRESULT BoardView::OnTimerMessage(WPARAM id, LPARAM) {
  OnTimer(id);
  return 0;
}
