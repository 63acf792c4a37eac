#pragma once

#include <cstdint>

#include "game/piece_set.h"

// The well: row 0 is the bottom, rows 20 and above are open space where nothing is stored.
// A plain value object; the controller is its only writer, the board window reads the fields.
class Board {
 public:
  static constexpr int kColumns = 10;
  static constexpr int kRows = 20;

  // 0 = empty, else the colour index + 1 of the piece that left the cell.
  uint8_t cells[kRows][kColumns] = {};
  // Occupied cells per row, always the count of non-zero cells[row].
  uint8_t rowFill[kRows] = {};

  void Clear();
  bool Fits(const Rotation& rotation, int x, int y) const;
  // Returns true when a cell lay above the top; the cells inside the well are written anyway.
  bool Place(const Rotation& rotation, int x, int y, uint8_t value);
  int LandingRow(const Rotation& rotation, int x, int y) const;
  bool HasFullRow() const;
  int RemoveFullRows();
  void RemoveRow(int row);
};
