#pragma once

#include <initializer_list>

#include "game/board.h"
#include "game/piece_set.h"

// A piece set built once for tests that only need shapes.
inline const PieceSet& Pieces() {
  static const PieceSet set = [] {
    PieceSet built;
    BuildPieceSet(built);
    return built;
  }();
  return set;
}

inline const Rotation& State(int piece, int state) {
  return Pieces()[piece].rotations[state];
}

// Sets one cell and keeps rowFill consistent, as a stack left by earlier pieces would.
inline void SetCell(Board& board, int row, int column, uint8_t value = 1) {
  if (board.cells[row][column] == 0) ++board.rowFill[row];
  board.cells[row][column] = value;
}

// Fills a row except for the given columns.
inline void FillRow(Board& board, int row, std::initializer_list<int> gaps = {},
                    uint8_t value = 1) {
  for (int column = 0; column < Board::kColumns; ++column) {
    bool gap = false;
    for (int g : gaps) gap = gap || g == column;
    if (!gap) SetCell(board, row, column, value);
  }
}

inline int CountOccupied(const Board& board, int row) {
  int count = 0;
  for (uint8_t cell : board.cells[row]) count += cell != 0;
  return count;
}
