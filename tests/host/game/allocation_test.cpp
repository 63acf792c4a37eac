#include <gtest/gtest.h>

#include "tests/host/game/alloc_counter.h"
#include "tests/host/game/scripted_game.h"

namespace {

constexpr int kTicks = 100000;

TEST(AllocationTest, CounterSeesAllocations) {
  const uint64_t before = AllocationCount();
  int* volatile single = new int(1);
  int* volatile many = new int[8];
  delete single;
  delete[] many;
  EXPECT_EQ(AllocationCount() - before, 2u);
}

TEST(AllocationTest, PlayingAllocatesNothing) {
  ScriptedGame game;  // the piece set is built here, before play
  const uint64_t before = AllocationCount();
  for (int tick = 0; tick < kTicks; ++tick) game.Step();
  const uint64_t allocated = AllocationCount() - before;
  EXPECT_EQ(allocated, 0u);

  // The script went through every kind of step, so the zero means something.
  const ScriptedGame::Tally& t = game.tally;
  EXPECT_GT(t.games, 2u);
  EXPECT_GT(t.pieces, 1000u);
  EXPECT_GT(t.rows, 100u);
  EXPECT_GT(t.levelRaises, 0u);
  EXPECT_GT(t.pauses, 0u);
  RecordProperty("games", static_cast<int>(t.games));
  RecordProperty("pieces", static_cast<int>(t.pieces));
  RecordProperty("rows", static_cast<int>(t.rows));
  RecordProperty("top_level", t.topLevel);
}

}  // namespace
