#include "views/preview_view.h"

#include "views/back_buffer.h"

#include <algorithm>

void PreviewView::FillClass(WNDCLASSW& wc) {
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
}

std::span<const ui::MessageEntry<PreviewView>> PreviewView::Messages() {
  static const ui::MessageEntry<PreviewView> table[] = {
      {WM_CREATE, &PreviewView::OnCreate},
      {WM_DESTROY, &PreviewView::OnDestroy},
      {WM_SIZE, &PreviewView::OnSize},
      {WM_PAINT, &PreviewView::OnPaint},
      {WM_ERASEBKGND, &PreviewView::OnEraseBackground},
  };
  return table;
}

PreviewView::~PreviewView() {
  if (hwnd_) DestroyWindow(hwnd_);
  ReleaseBackBuffer(memDC, backBuffer);
}

void PreviewView::SetPiece(const Piece* shown) {
  piece = shown;
  if (!hwnd_) return;
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
}

void PreviewView::Layout(const RECT& client) {
  clientRect = client;
  const LONG width = client.right - client.left;
  const LONG height = client.bottom - client.top;
  cellSize = std::min(width / kGridColumns, height / kGridRows);
  area = client;
  area.left += (width - kGridColumns * cellSize) / 2;
  area.top += (height - kGridRows * cellSize) / 2;
  area.right = area.left + kGridColumns * cellSize;
  area.bottom = area.top + kGridRows * cellSize;
}

LRESULT PreviewView::OnCreate(WPARAM, LPARAM) {
  RECT client;
  GetClientRect(hwnd_, &client);
  Layout(client);
  return 0;
}

LRESULT PreviewView::OnDestroy(WPARAM, LPARAM) {
  ReleaseBackBuffer(memDC, backBuffer);
  return 0;
}

LRESULT PreviewView::OnSize(WPARAM, LPARAM) {
  RECT client;
  if (TakeNewSize(hwnd_, clientRect, client, memDC, backBuffer)) Layout(client);
  return 0;
}

LRESULT PreviewView::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  if (EnsureBackBuffer(dc, client, memDC, backBuffer)) {
    DrawPreview();
    BitBlt(dc, client.left, client.top, client.right - client.left, client.bottom - client.top,
           memDC, 0, 0, SRCCOPY);
  }
  EndPaint(hwnd_, &ps);
  return 0;
}

void PreviewView::DrawPreview() {
  if (!painter) {
    // Nothing lent yet: a plain window rather than stale pixels.
    FillRect(memDC, &clientRect, GetSysColorBrush(COLOR_WINDOW));
    return;
  }
  HGDIOBJ oldBrush = SelectObject(memDC, painter->patternBrush);
  HGDIOBJ oldPen = SelectObject(memDC, painter->framePen);
  Rectangle(memDC, clientRect.left, clientRect.top, clientRect.right, clientRect.bottom);
  if (oldPen) SelectObject(memDC, oldPen);
  if (oldBrush) SelectObject(memDC, oldBrush);

  if (!piece || !piece->rotations || piece->rotationCount == 0 || cellSize <= 0) return;
  if (piece->colour >= BlockPainter::kColours) return;
  // State 0 turned a quarter clockwise: offset (dx, dy) goes to grid column dy + 1 and to grid
  // row 2 - dx counted from the bottom; then the picture is centred by half cells.
  const Rotation& state = piece->rotations[0];
  const int s = cellSize;
  const int shiftRight = (4 - state.height) * s / 2;
  const int shiftDown = (2 - state.width) * s / 2;
  for (const CellOffset& offset : state.offsets) {
    RECT cell;
    cell.left = area.left + (offset.dy + 1) * s + 1;
    cell.right = cell.left + s - 1;
    cell.top = area.bottom - (2 - offset.dx) * s - 1 - s;
    cell.bottom = area.bottom - (2 - offset.dx) * s - 2;
    OffsetRect(&cell, shiftRight, shiftDown);
    BlockPainter::DrawCell(memDC, cell, painter->lightPens[piece->colour],
                           painter->darkPens[piece->colour], painter->fillBrushes[piece->colour]);
  }
}

LRESULT PreviewView::OnEraseBackground(WPARAM, LPARAM) {
  return 1;
}
