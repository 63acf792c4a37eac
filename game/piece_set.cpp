#include "game/piece_set.h"

#include <cstddef>
#include <iterator>

namespace {

struct ShapeRow {
  uint8_t piece;
  uint8_t cells[8];  // dx, dy of the four cells
};

// States in turning order, each a quarter turn counter-clockwise from the one before.
// Pictures: top row first.
constexpr ShapeRow kShapes[] = {
    {0, {0, 0, 0, 1, 1, 1, 1, 2}},  // .# / ## / #.
    {0, {0, 1, 1, 0, 1, 1, 2, 0}},  // ##. / .##
    {1, {0, 1, 0, 2, 1, 0, 1, 1}},  // #. / ## / .#
    {1, {0, 0, 1, 0, 1, 1, 2, 1}},  // .## / ##.
    {2, {0, 0, 0, 1, 0, 2, 1, 0}},  // #. / #. / ##
    {2, {0, 0, 1, 0, 2, 0, 2, 1}},  // ..# / ###
    {2, {0, 2, 1, 0, 1, 1, 1, 2}},  // ## / .# / .#
    {2, {0, 0, 0, 1, 1, 1, 2, 1}},  // ### / #..
    {3, {0, 0, 1, 0, 1, 1, 1, 2}},  // .# / .# / ##
    {3, {0, 1, 1, 1, 2, 0, 2, 1}},  // ### / ..#
    {3, {0, 0, 0, 1, 0, 2, 1, 2}},  // ## / #. / #.
    {3, {0, 0, 0, 1, 1, 0, 2, 0}},  // #.. / ###
    {4, {0, 0, 0, 1, 0, 2, 0, 3}},  // # / # / # / #
    {4, {0, 0, 1, 0, 2, 0, 3, 0}},  // ####
    {5, {0, 0, 1, 0, 0, 1, 1, 1}},  // ## / ##
    {6, {0, 1, 1, 0, 1, 1, 1, 2}},  // .# / ## / .#
    {6, {0, 1, 1, 0, 1, 1, 2, 1}},  // ### / .#.
    {6, {0, 0, 0, 1, 0, 2, 1, 1}},  // #. / ## / #.
    {6, {0, 0, 1, 0, 1, 1, 2, 0}},  // .#. / ###
};

constexpr uint8_t kRotationCounts[kPieceCount] = {2, 2, 4, 4, 2, 1, 4};

constexpr bool ShapesMatchCounts() {
  size_t row = 0;
  for (uint8_t piece = 0; piece < kPieceCount; ++piece) {
    for (int state = 0; state < kRotationCounts[piece]; ++state, ++row) {
      if (row >= std::size(kShapes) || kShapes[row].piece != piece) return false;
    }
  }
  return row == std::size(kShapes);
}
static_assert(ShapesMatchCounts(), "shape rows must follow the rotation counts");

void FillRotation(Rotation& rotation, const uint8_t (&cells)[8]) {
  uint8_t maxDx = 0;
  uint8_t maxDy = 0;
  for (int i = 0; i < 4; ++i) {
    rotation.offsets[i] = {cells[2 * i], cells[2 * i + 1]};
    if (cells[2 * i] > maxDx) maxDx = cells[2 * i];
    if (cells[2 * i + 1] > maxDy) maxDy = cells[2 * i + 1];
  }
  rotation.width = static_cast<uint8_t>(maxDx + 1);
  rotation.height = static_cast<uint8_t>(maxDy + 1);
  for (int c = 0; c < 4; ++c) {
    rotation.bottom[c] = 3;
    for (const CellOffset& cell : rotation.offsets) {
      if (cell.dx == c && cell.dy < rotation.bottom[c]) rotation.bottom[c] = cell.dy;
    }
  }
}

}  // namespace

void BuildPieceSet(PieceSet& set) {
  const ShapeRow* row = kShapes;
  for (int index = 0; index < kPieceCount; ++index) {
    Piece& piece = set[index];
    const uint8_t count = kRotationCounts[index];
    if (!piece.rotations || piece.rotationCount != count) {
      piece.rotations = std::make_unique<Rotation[]>(count);
    }
    piece.rotationCount = count;
    piece.colour = static_cast<uint8_t>(index);
    for (int state = 0; state < count; ++state, ++row) {
      FillRotation(piece.rotations[state], row->cells);
    }
  }
}
