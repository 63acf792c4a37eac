#pragma once

#include <array>
#include <cstdint>
#include <memory>

// One cell of a rotation state, relative to the lower-left corner of its bounding box.
struct CellOffset {
  uint8_t dx, dy;
};

struct Rotation {
  CellOffset offsets[4];
  uint8_t width, height;
  // Lowest dy of each column below width; the board tests only these cells when a piece falls.
  uint8_t bottom[4];
};

struct Piece {
  std::unique_ptr<Rotation[]> rotations;
  uint8_t rotationCount;
  uint8_t colour;
};

using PieceSet = std::array<Piece, 7>;

constexpr int kPieceCount = 7;

// Fills the seven pieces. A set that was built before keeps its rotation arrays, so building
// again allocates nothing.
void BuildPieceSet(PieceSet& set);
