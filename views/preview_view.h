#pragma once
// The small window beside the well that shows the next piece, turned and centred.
#include <windows.h>

#include <span>

#include "game/piece_set.h"
#include "ui/window.h"
#include "views/block_painter.h"

class PreviewView : public ui::Window<PreviewView> {
 public:
  static constexpr const wchar_t* kClassName = L"GravlinPreviewCE";
  static constexpr int kGridColumns = 6;
  static constexpr int kGridRows = 4;
  static void FillClass(WNDCLASSW& wc);
  static std::span<const ui::MessageEntry<PreviewView>> Messages();

  PreviewView() = default;
  ~PreviewView();

  // Borrowed from the board view, which outlives this window's paints.
  void SetPainter(BlockPainter* borrowed) { painter = borrowed; }
  // Null clears the picture. Repaints at once.
  void SetPiece(const Piece* shown);

  void Layout(const RECT& client);
  int CellSize() const { return cellSize; }
  const RECT& Area() const { return area; }

 protected:
  BlockPainter* painter = nullptr;
  HDC memDC = nullptr;
  HBITMAP backBuffer = nullptr;
  RECT clientRect = {};
  RECT area = {};
  int32_t cellSize = 0;
  const Piece* piece = nullptr;

 private:
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM);
  void DrawPreview();
};
