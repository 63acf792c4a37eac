#include "game/board.h"

#include <cstring>

static_assert(sizeof(Board) == 220, "the well is 200 cells and 20 counts, nothing else");

void Board::Clear() {
  std::memset(cells, 0, sizeof cells);
  std::memset(rowFill, 0, sizeof rowFill);
}

bool Board::Fits(const Rotation& rotation, int x, int y) const {
  for (const CellOffset& cell : rotation.offsets) {
    const int column = x + cell.dx;
    if (column < 0 || column >= kColumns) return false;
    const int row = y + cell.dy;
    if (row < 0) return false;
    if (row >= kRows) continue;
    if (cells[row][column] != 0) return false;
  }
  return true;
}

bool Board::Place(const Rotation& rotation, int x, int y, uint8_t value) {
  bool aboveTop = false;
  for (const CellOffset& cell : rotation.offsets) {
    const int row = y + cell.dy;
    const int column = x + cell.dx;
    if (row >= kRows) {
      aboveTop = true;
      continue;
    }
    // The caller places only where the piece fits; a stray position must not write outside
    // the arrays or count a cell twice.
    if (row < 0 || column < 0 || column >= kColumns) continue;
    if (cells[row][column] == 0) ++rowFill[row];
    cells[row][column] = value;
  }
  return aboveTop;
}

int Board::LandingRow(const Rotation& rotation, int x, int y) const {
  // Falling straight down, the lowest cell of each column meets the stack first.
  for (int t = y; t >= 0; --t) {
    for (int c = 0; c < rotation.width; ++c) {
      const int column = x + c;
      const int row = t + rotation.bottom[c];
      if (row >= kRows || column < 0 || column >= kColumns) continue;
      if (cells[row][column] != 0) return t + 1;
    }
  }
  return 0;
}

bool Board::HasFullRow() const {
  for (int row = 0; row < kRows; ++row) {
    if (rowFill[row] == kColumns) return true;
  }
  return false;
}

int Board::RemoveFullRows() {
  int removed = 0;
  int row = 0;
  while (row < kRows) {
    if (rowFill[row] == kColumns) {
      RemoveRow(row);
      ++removed;
    } else {
      ++row;
    }
  }
  return removed;
}

void Board::RemoveRow(int row) {
  if (row < 0 || row >= kRows) return;
  for (int k = row; k < kRows - 1; ++k) {
    std::memcpy(cells[k], cells[k + 1], sizeof cells[k]);
    rowFill[k] = rowFill[k + 1];
  }
  std::memset(cells[kRows - 1], 0, sizeof cells[kRows - 1]);
  rowFill[kRows - 1] = 0;
}
