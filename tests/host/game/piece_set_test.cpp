#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "game/piece_set.h"
#include "tests/host/game/board_fixture.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

struct ShapeCase {
  int piece, state;
  Cells cells;
  int width, height;
  std::vector<int> bottom;
};

const ShapeCase kShapeTable[] = {
    {0, 0, {{0, 0}, {0, 1}, {1, 1}, {1, 2}}, 2, 3, {0, 1}},
    {0, 1, {{0, 1}, {1, 0}, {1, 1}, {2, 0}}, 3, 2, {1, 0, 0}},
    {1, 0, {{0, 1}, {0, 2}, {1, 0}, {1, 1}}, 2, 3, {1, 0}},
    {1, 1, {{0, 0}, {1, 0}, {1, 1}, {2, 1}}, 3, 2, {0, 0, 1}},
    {2, 0, {{0, 0}, {0, 1}, {0, 2}, {1, 0}}, 2, 3, {0, 0}},
    {2, 1, {{0, 0}, {1, 0}, {2, 0}, {2, 1}}, 3, 2, {0, 0, 0}},
    {2, 2, {{0, 2}, {1, 0}, {1, 1}, {1, 2}}, 2, 3, {2, 0}},
    {2, 3, {{0, 0}, {0, 1}, {1, 1}, {2, 1}}, 3, 2, {0, 1, 1}},
    {3, 0, {{0, 0}, {1, 0}, {1, 1}, {1, 2}}, 2, 3, {0, 0}},
    {3, 1, {{0, 1}, {1, 1}, {2, 0}, {2, 1}}, 3, 2, {1, 1, 0}},
    {3, 2, {{0, 0}, {0, 1}, {0, 2}, {1, 2}}, 2, 3, {0, 2}},
    {3, 3, {{0, 0}, {0, 1}, {1, 0}, {2, 0}}, 3, 2, {0, 0, 0}},
    {4, 0, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}, 1, 4, {0}},
    {4, 1, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, 4, 1, {0, 0, 0, 0}},
    {5, 0, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, 2, 2, {0, 0}},
    {6, 0, {{0, 1}, {1, 0}, {1, 1}, {1, 2}}, 2, 3, {1, 0}},
    {6, 1, {{0, 1}, {1, 0}, {1, 1}, {2, 1}}, 3, 2, {1, 0, 1}},
    {6, 2, {{0, 0}, {0, 1}, {0, 2}, {1, 1}}, 2, 3, {0, 1}},
    {6, 3, {{0, 0}, {1, 0}, {1, 1}, {2, 0}}, 3, 2, {0, 0, 0}},
};

Cells CellsOf(const Rotation& state) {
  Cells cells;
  for (const CellOffset& cell : state.offsets) cells.emplace_back(cell.dx, cell.dy);
  return cells;
}

TEST(PieceSetTest, BuildsTheShapeTable) {
  PieceSet set;
  BuildPieceSet(set);
  const int expectedCounts[kPieceCount] = {2, 2, 4, 4, 2, 1, 4};
  for (int piece = 0; piece < kPieceCount; ++piece) {
    EXPECT_EQ(set[piece].rotationCount, expectedCounts[piece]) << "piece " << piece;
    EXPECT_EQ(set[piece].colour, piece);
  }
  for (const ShapeCase& c : kShapeTable) {
    SCOPED_TRACE(testing::Message() << "piece " << c.piece << " state " << c.state);
    const Rotation& state = set[c.piece].rotations[c.state];
    EXPECT_EQ(CellsOf(state), c.cells);
    EXPECT_EQ(state.width, c.width);
    EXPECT_EQ(state.height, c.height);
    for (int column = 0; column < c.width; ++column) {
      EXPECT_EQ(state.bottom[column], c.bottom[column]) << "column " << column;
    }
  }
}

// Each state must be the one before it turned a quarter counter-clockwise, and turning a piece
// rotationCount times must come back to state 0; a mistyped cell breaks the cycle.
TEST(PieceSetTest, StatesAreQuarterTurnsThatCloseTheCycle) {
  auto normalised = [](const Cells& cells) {
    int minX = 99, minY = 99;
    for (auto [dx, dy] : cells) {
      minX = std::min(minX, dx);
      minY = std::min(minY, dy);
    }
    std::set<std::pair<int, int>> result;
    for (auto [dx, dy] : cells) result.emplace(dx - minX, dy - minY);
    return result;
  };
  for (int piece = 0; piece < kPieceCount; ++piece) {
    const Piece& p = Pieces()[piece];
    for (int state = 0; state < p.rotationCount; ++state) {
      SCOPED_TRACE(testing::Message() << "piece " << piece << " state " << state);
      Cells turned;
      for (auto [dx, dy] : CellsOf(p.rotations[state])) turned.emplace_back(-dy, dx);
      const int following = (state + 1) % p.rotationCount;
      EXPECT_EQ(normalised(turned), normalised(CellsOf(p.rotations[following])));
    }
  }
}

TEST(PieceSetTest, BuildingAgainKeepsTheRotationArrays) {
  PieceSet set;
  BuildPieceSet(set);
  const Rotation* before[kPieceCount];
  for (int piece = 0; piece < kPieceCount; ++piece) before[piece] = set[piece].rotations.get();
  set[2].rotations[1].width = 0;  // rebuilding must also restore the data
  BuildPieceSet(set);
  for (int piece = 0; piece < kPieceCount; ++piece) {
    EXPECT_EQ(set[piece].rotations.get(), before[piece]) << "piece " << piece;
  }
  EXPECT_EQ(set[2].rotations[1].width, 3);
}

}  // namespace
