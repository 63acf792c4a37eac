#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "game/board.h"
#include "tests/host/game/board_fixture.h"

namespace {

constexpr int kI = 4;  // four in a line: state 0 upright, state 1 flat
constexpr int kO = 5;  // the square

class BoardTest : public testing::Test {
 protected:
  void SetUp() override { board.Clear(); }

  void ExpectRowFillConsistent() {
    for (int row = 0; row < Board::kRows; ++row) {
      ASSERT_EQ(board.rowFill[row], CountOccupied(board, row)) << "row " << row;
    }
  }

  Board board;
};

TEST_F(BoardTest, EmptyBoardLandsEveryStateOnTheFloor) {
  for (int piece = 0; piece < kPieceCount; ++piece) {
    for (int state = 0; state < Pieces()[piece].rotationCount; ++state) {
      const Rotation& r = State(piece, state);
      for (int x = 0; x <= Board::kColumns - r.width; ++x) {
        for (int y : {0, 7, 20}) {
          EXPECT_EQ(board.LandingRow(r, x, y), 0)
              << "piece " << piece << " state " << state << " x " << x << " y " << y;
        }
      }
    }
  }
  EXPECT_FALSE(board.HasFullRow());
  EXPECT_EQ(board.RemoveFullRows(), 0);
}

struct FitsCase {
  const char* name;
  int piece, state, x, y;
  std::vector<std::pair<int, int>> occupied;  // row, column
  bool fits;
};

TEST_F(BoardTest, FitsAtWallsFloorAndStack) {
  const FitsCase cases[] = {
      {"left of the left wall", kO, 0, -1, 5, {}, false},
      {"against the left wall", kO, 0, 0, 5, {}, true},
      {"against the right wall", kO, 0, 8, 5, {}, true},
      {"a cell in column 10", kO, 0, 9, 5, {}, false},
      {"flat bar at the right wall", kI, 1, 6, 0, {}, true},
      {"flat bar into column 10", kI, 1, 7, 0, {}, false},
      {"upright bar on the floor", kI, 0, 0, 0, {}, true},
      {"upright bar one below the floor", kI, 0, 0, -1, {}, false},
      {"square on a filled cell", kO, 0, 4, 0, {{1, 5}}, false},
      {"square above a filled cell", kO, 0, 4, 2, {{1, 5}}, true},
      {"square beside a filled cell", kO, 0, 6, 0, {{1, 5}}, true},
      {"column check also above the top", kO, 0, -1, 20, {}, false},
      {"cells in rows 20 and 21 over a filled row 19", kO, 0, 4, 20, {{19, 4}, {19, 5}}, true},
      {"one cell into a filled row 19", kO, 0, 4, 19, {{19, 4}}, false},
  };
  for (const FitsCase& c : cases) {
    board.Clear();
    for (auto [row, column] : c.occupied) SetCell(board, row, column);
    EXPECT_EQ(board.Fits(State(c.piece, c.state), c.x, c.y), c.fits) << c.name;
  }
}

TEST_F(BoardTest, CellsAboveTheTopAlwaysFit) {
  for (int row = 0; row < Board::kRows; ++row) FillRow(board, row);
  for (int piece = 0; piece < kPieceCount; ++piece) {
    for (int state = 0; state < Pieces()[piece].rotationCount; ++state) {
      const Rotation& r = State(piece, state);
      for (int x = 0; x <= Board::kColumns - r.width; ++x) {
        EXPECT_TRUE(board.Fits(r, x, 20)) << "piece " << piece << " state " << state << " x " << x;
      }
      EXPECT_FALSE(board.Fits(r, Board::kColumns - r.width + 1, 20));
    }
  }
}

struct LandingCase {
  const char* name;
  int piece, state, x, y;
  std::vector<std::pair<int, int>> occupied;  // row, column
  int landing;
};

TEST_F(BoardTest, LandingRowMeetsTheStack) {
  const LandingCase cases[] = {
      {"upright bar on a column six high",
       kI,
       0,
       4,
       20,
       {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}, {5, 4}},
       6},
      {"the raised column of a shape meets a lower cell", 0, 0, 4, 20, {{3, 5}}, 3},
      {"the lower column meets its cell first", 0, 0, 4, 20, {{3, 4}, {3, 5}}, 4},
      {"flat bar on one high cell", kI, 1, 2, 20, {{0, 2}, {6, 5}}, 7},
      {"cells outside its columns do not matter", kO, 0, 4, 20, {{9, 3}, {9, 6}}, 0},
      {"cells above the piece do not matter", kI, 0, 4, 2, {{10, 4}}, 0},
      {"row 19 under the spawn place: no room", kO, 0, 4, 20, {{19, 5}}, 20},
      {"row 19 under a raised column only", 0, 0, 4, 20, {{19, 5}}, 19},
  };
  for (const LandingCase& c : cases) {
    board.Clear();
    for (auto [row, column] : c.occupied) SetCell(board, row, column);
    EXPECT_EQ(board.LandingRow(State(c.piece, c.state), c.x, c.y), c.landing) << c.name;
  }
}

TEST_F(BoardTest, PlaceWritesCellsAndCounts) {
  EXPECT_FALSE(board.Place(State(0, 1), 3, 0, 1));
  EXPECT_EQ(board.cells[0][4], 1);
  EXPECT_EQ(board.cells[0][5], 1);
  EXPECT_EQ(board.cells[1][3], 1);
  EXPECT_EQ(board.cells[1][4], 1);
  EXPECT_EQ(board.rowFill[0], 2);
  EXPECT_EQ(board.rowFill[1], 2);
  ExpectRowFillConsistent();
}

TEST_F(BoardTest, PlaceAboveTheTopWritesTheCellsInsideAndReportsIt) {
  EXPECT_TRUE(board.Place(State(kO, 0), 4, 19, 6));
  EXPECT_EQ(board.cells[19][4], 6);
  EXPECT_EQ(board.cells[19][5], 6);
  EXPECT_EQ(board.rowFill[19], 2);
  ExpectRowFillConsistent();

  board.Clear();
  EXPECT_TRUE(board.Place(State(kI, 0), 0, 18, 5));
  EXPECT_EQ(board.rowFill[18], 1);
  EXPECT_EQ(board.rowFill[19], 1);
}

// The controller never places outside the well, but a stray position must neither write outside
// the arrays nor break the fill counts.
TEST_F(BoardTest, PlaceOutsideTheWellKeepsTheBoardSound) {
  EXPECT_FALSE(board.Place(State(kI, 1), 8, 0, 2));
  EXPECT_EQ(board.rowFill[0], 2);
  EXPECT_FALSE(board.Place(State(kI, 0), 3, -2, 2));
  EXPECT_EQ(board.rowFill[0], 3);
  EXPECT_EQ(board.rowFill[1], 1);
  EXPECT_FALSE(board.Place(State(kO, 0), 8, 0, 3));  // over cells already taken
  EXPECT_EQ(board.cells[0][8], 3);
  ExpectRowFillConsistent();

  Board before = board;
  board.RemoveRow(-1);
  board.RemoveRow(Board::kRows);
  EXPECT_EQ(std::memcmp(&before, &board, sizeof board), 0);
}

TEST_F(BoardTest, RemoveFullRowsBottomUp) {
  FillRow(board, 0);
  FillRow(board, 1);
  SetCell(board, 2, 0, 3);  // marks the old row 2
  FillRow(board, 3);
  SetCell(board, 4, 1, 5);  // marks the old row 4
  SetCell(board, 4, 2, 5);
  SetCell(board, 19, 9, 7);

  EXPECT_TRUE(board.HasFullRow());
  EXPECT_EQ(board.RemoveFullRows(), 3);
  EXPECT_FALSE(board.HasFullRow());
  EXPECT_EQ(board.cells[0][0], 3);
  EXPECT_EQ(board.rowFill[0], 1);
  EXPECT_EQ(board.cells[1][1], 5);
  EXPECT_EQ(board.cells[1][2], 5);
  EXPECT_EQ(board.rowFill[1], 2);
  EXPECT_EQ(board.cells[16][9], 7);
  for (int row = 17; row < Board::kRows; ++row) EXPECT_EQ(board.rowFill[row], 0) << row;
  ExpectRowFillConsistent();
}

TEST_F(BoardTest, RemovingTheTopRowLeavesTheRestAlone) {
  for (int row = 0; row < Board::kRows - 1; ++row) SetCell(board, row, row % 10, 1 + row % 7);
  FillRow(board, 19, {}, 4);
  Board before = board;

  EXPECT_EQ(board.RemoveFullRows(), 1);
  EXPECT_EQ(std::memcmp(board.cells, before.cells, sizeof board.cells[0] * 19), 0);
  EXPECT_EQ(std::memcmp(board.rowFill, before.rowFill, 19), 0);
  EXPECT_EQ(board.rowFill[19], 0);
  EXPECT_EQ(CountOccupied(board, 19), 0);
}

// Pieces dropped at random places; a full well starts over. The counts must never drift.
TEST_F(BoardTest, RowFillStaysConsistentThroughRandomPlay) {
  std::mt19937 random(12345);
  int removed = 0;
  for (int drop = 0; drop < 3000; ++drop) {
    const int piece = static_cast<int>(random() % kPieceCount);
    const Piece& p = Pieces()[piece];
    const Rotation& r = p.rotations[random() % p.rotationCount];
    const int x = static_cast<int>(random() % (Board::kColumns - r.width + 1));
    const int y = board.LandingRow(r, x, 20);
    ASSERT_TRUE(board.Fits(r, x, y));
    if (y > 0) {
      ASSERT_FALSE(board.Fits(r, x, y - 1));
    }
    if (board.Place(r, x, y, static_cast<uint8_t>(piece + 1))) {
      ExpectRowFillConsistent();
      board.Clear();
      continue;
    }
    ExpectRowFillConsistent();
    removed += board.RemoveFullRows();
    ExpectRowFillConsistent();
    ASSERT_FALSE(board.HasFullRow());
  }
  EXPECT_GT(removed, 0);  // the sequence did exercise removal
}

}  // namespace
