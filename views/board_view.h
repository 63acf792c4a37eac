#pragma once
// The board child window: the rules of play and their picture in one object.
#include <windows.h>

#include <span>

#include "game/game_controller.h"
#include "ui/window.h"
#include "views/block_painter.h"

class BoardView : public GameController, public ui::Window<BoardView> {
 public:
  static constexpr const wchar_t* kClassName = L"GravlinBoardCE";
  static void FillClass(WNDCLASSW& wc);
  static std::span<const ui::MessageEntry<BoardView>> Messages();

  BoardView() = default;
  ~BoardView() override;

  // Where the well's texture is: a bitmap resource, loaded when the window is created.
  void SetTexture(HINSTANCE module, UINT id) {
    textureModule = module;
    textureId = id;
  }

  // The preview draws with the same pens and brushes; they exist while the window does.
  BlockPainter* Painter() { return &painter; }

  // Fixes the cell size and the well's frame for a client rectangle.
  void Layout(const RECT& client);
  // The inclusive pixel rectangle of a cell; row 0 is the bottom row.
  RECT CellRect(int row, int column) const;
  int CellSize() const { return cellSize; }
  const RECT& FrameRect() const { return frameRect; }

  // DrawCell calls made by the most recent paint.
  int CellsDrawn() const { return cellsDrawn; }

 protected:
  void StartTimer() override;
  void KillTimer() override;
  void InvalidateAll() override;
  void InvalidatePiece() override;
  void UpdateNow() override;
  uint32_t Random() override;

  HDC memDC = nullptr;
  HBITMAP backBuffer = nullptr;
  BlockPainter painter;
  HINSTANCE textureModule = nullptr;
  UINT textureId = 0;
  int32_t cellSize = 0;
  RECT clientRect = {};
  RECT frameRect = {};
  int cellsDrawn = 0;

 private:
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM);
  LRESULT OnTimerMessage(WPARAM, LPARAM);
  void DrawWell(const RECT& update);
};
