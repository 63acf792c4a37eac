#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "game/game_controller.h"
#include "tests/host/game/board_fixture.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr int kI = 4;  // four in a line: upright in state 0, flat in state 1
constexpr int kO = 5;  // the square
constexpr int kT = 6;

// Services and events write into one timeline, so their order can be checked together.
class TestGame : public GameController {
 public:
  using GameController::board;
  using GameController::current;
  using GameController::fallSteps;
  using GameController::flags;
  using GameController::landing;
  using GameController::level;
  using GameController::next;
  using GameController::pieces;
  using GameController::rotation;
  using GameController::rows;
  using GameController::tickCount;
  using GameController::ticksPerStep;
  using GameController::x;
  using GameController::y;

  std::vector<std::string> log;
  std::deque<uint32_t> randoms;  // handed out in order, then 0

 protected:
  void StartTimer() override { log.push_back("StartTimer"); }
  void KillTimer() override { log.push_back("KillTimer"); }
  void InvalidateAll() override { log.push_back("InvalidateAll"); }
  void InvalidatePiece() override {
    log.push_back("InvalidatePiece " + std::to_string(x) + "," + std::to_string(y) + "," +
                  std::to_string(rotation));
  }
  void UpdateNow() override { log.push_back("UpdateNow"); }
  uint32_t Random() override {
    if (randoms.empty()) return 0;
    const uint32_t value = randoms.front();
    randoms.pop_front();
    return value;
  }
};

class RecordingEvents : public GameEvents {
 public:
  explicit RecordingEvents(TestGame& game) : game_(game) {}
  std::function<void()> onStarted;

  void OnGameStarted() override {
    game_.log.push_back("started");
    if (onStarted) onStarted();
  }
  void OnPieceLocked() override { game_.log.push_back("locked " + std::to_string(game_.Score())); }
  void OnRowsRemoved(bool levelRaised) override {
    game_.log.push_back("rows " + std::to_string(game_.Rows()) + (levelRaised ? " raised" : ""));
  }
  void OnNextPiece() override { game_.log.push_back("next"); }
  void OnGameOver(int score) override { game_.log.push_back("over " + std::to_string(score)); }

 private:
  TestGame& game_;
};

class GameControllerTest : public testing::Test {
 protected:
  GameControllerTest() { game.SetEvents(&events); }

  // Starts a game whose pieces enter in the given order. `prepare` stocks the well after it was
  // cleared and before the first piece enters, as a frame's handler of the start event could.
  void Start(int level, std::initializer_list<uint32_t> order,
             std::function<void(Board&)> prepare = {}) {
    game.randoms.assign(order.begin(), order.end());
    events.onStarted = [this, prepare] {
      if (prepare) prepare(game.board);
    };
    game.NewGame(level);
    game.log.clear();
  }

  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) game.OnTimer(GameController::kTimerId);
  }

  // A button pressed and let go.
  void Tap(int action) {
    game.Press(action);
    game.Release();
  }

  // Ticks until `done` holds; returns the number of ticks it took.
  int TickUntil(const std::function<bool()>& done, int limit = 1000) {
    for (int ticks = 1; ticks <= limit; ++ticks) {
      Tick();
      if (done()) return ticks;
    }
    ADD_FAILURE() << "condition not reached in " << limit << " ticks";
    return -1;
  }

  bool Logged(const std::string& entry) const {
    for (const std::string& e : game.log) {
      if (e == entry || e.rfind(entry + " ", 0) == 0) return true;
    }
    return false;
  }

  std::vector<std::string> TakeLog() { return std::exchange(game.log, {}); }

  TestGame game;
  RecordingEvents events{game};
};

TEST_F(GameControllerTest, NewGameStartsAPieceAboveTheWell) {
  game.randoms = {2, 6};
  game.NewGame(3);
  EXPECT_THAT(TakeLog(),
              ElementsAre("started", "StartTimer", "next", "InvalidateAll", "UpdateNow"));
  EXPECT_EQ(game.current, &game.pieces[2]);
  EXPECT_EQ(game.NextPiece(), &game.pieces[6]);
  EXPECT_EQ(game.x, 4);
  EXPECT_EQ(game.y, 20);
  EXPECT_EQ(game.rotation, 0u);
  EXPECT_EQ(game.landing, 0);
  EXPECT_EQ(game.Level(), 3);
  EXPECT_EQ(game.ticksPerStep, 7);
  EXPECT_EQ(game.Score(), 0);
  EXPECT_EQ(game.Rows(), 0);
  EXPECT_EQ(game.Flags(), static_cast<uint32_t>(Running));
}

TEST_F(GameControllerTest, RandomValuesAreTakenUnsigned) {
  Start(0, {0xFFFFFFFFu, 0x80000000u});
  EXPECT_EQ(game.current, &game.pieces[3]);  // 2^32 - 1 = 3 (mod 7)
  EXPECT_EQ(game.next, 2);                   // 2^31 = 2 (mod 7)
}

TEST_F(GameControllerTest, OutOfRangeStartingLevelsAreClamped) {
  const std::pair<int, int> cases[] = {{-1, 0}, {12, 9}, {9, 9}};
  for (auto [asked, expected] : cases) {
    Start(asked, {0, 0});
    EXPECT_EQ(game.Level(), expected) << asked;
    EXPECT_EQ(game.ticksPerStep, 10 - expected) << asked;
  }
}

TEST_F(GameControllerTest, GravityStepsEveryTicksPerStep) {
  for (int level : {0, 4, 9}) {
    SCOPED_TRACE(level);
    Start(level, {kO, kO});
    const int ticksPerStep = 10 - level;
    Tick(ticksPerStep - 1);
    EXPECT_EQ(game.y, 20);
    Tick();
    EXPECT_EQ(game.y, 19);
    EXPECT_THAT(TakeLog(), ElementsAre("InvalidatePiece 4,19,0", "UpdateNow"));
    Tick(ticksPerStep);
    EXPECT_EQ(game.y, 18);
  }
}

struct ScoreCase {
  int level;
  int stepsBeforeDrop;  // -1: never dropped
  int award;
};

TEST_F(GameControllerTest, ScoresEachLockedPiece) {
  const ScoreCase cases[] = {
      {0, 0, 24},   // dropped before its first step
      {0, -1, 4},   // fell all twenty rows on its own
      {9, 0, 51},   // the most a piece can earn
      {9, -1, 31},  // 51 less twenty steps
      {5, 3, 36},   // three steps, then dropped
  };
  for (const ScoreCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "level " << c.level << " steps " << c.stepsBeforeDrop);
    Start(c.level, {kT, kT});
    if (c.stepsBeforeDrop >= 0) {
      Tick(c.stepsBeforeDrop * (10 - c.level));
      Tap(ActionDrop);
    }
    TickUntil([&] { return Logged("locked"); });
    EXPECT_EQ(game.Score(), c.award);
    EXPECT_TRUE(Logged("locked " + std::to_string(c.award)));
  }
}

TEST_F(GameControllerTest, LocksOnTheFourthTickAfterComingToRest) {
  Start(0, {kO, kT});
  EXPECT_EQ(TickUntil([&] { return (game.Flags() & Landed) != 0; }), 200);
  EXPECT_EQ(game.y, 0);
  Tick(3);
  EXPECT_EQ(game.current, &game.pieces[kO]);
  EXPECT_FALSE(Logged("locked"));
  TakeLog();
  Tick();
  EXPECT_THAT(TakeLog(), ElementsAre("locked 4", "InvalidateAll", "UpdateNow"));
  EXPECT_EQ(game.current, nullptr);
  EXPECT_EQ(game.board.cells[0][4], kO + 1);
  EXPECT_EQ(game.board.cells[1][5], kO + 1);
  EXPECT_EQ(game.Flags() & (Landed | Dropping | RowsPending), 0u);

  // The next piece enters ticksPerStep ticks later.
  Tick(9);
  EXPECT_THAT(TakeLog(), IsEmpty());
  Tick();
  EXPECT_EQ(game.current, &game.pieces[kT]);
  EXPECT_THAT(TakeLog(), ElementsAre("next", "InvalidatePiece 4,20,0", "UpdateNow"));
}

TEST_F(GameControllerTest, MovingOffALedgeDuringTheLockDelayFallsOn) {
  Start(0, {kO, kO}, [](Board& board) {
    for (int row = 0; row < 5; ++row) SetCell(board, row, 4);  // a pillar under the left half
  });
  TickUntil([&] { return (game.Flags() & Landed) != 0; });
  EXPECT_EQ(game.y, 5);
  Tick(2);
  Tap(ActionRight);
  EXPECT_EQ(game.x, 5);
  EXPECT_EQ(game.landing, 0);
  EXPECT_EQ(game.Flags() & Landed, 0u);

  // Gravity goes on counting from the two lock ticks.
  Tick(7);
  EXPECT_EQ(game.y, 5);
  Tick();
  EXPECT_EQ(game.y, 4);
  TickUntil([&] { return Logged("locked"); });
  EXPECT_EQ(game.board.cells[0][5], kO + 1);
  EXPECT_EQ(game.board.cells[0][6], kO + 1);
  EXPECT_EQ(game.Score(), 24 - 20);
}

TEST_F(GameControllerTest, MovingAlongTheFloorKeepsTheLockDelay) {
  Start(0, {kO, kO});
  TickUntil([&] { return (game.Flags() & Landed) != 0; });
  Tick(2);
  Tap(ActionLeft);
  Tick();
  Tap(ActionLeft);
  EXPECT_EQ(game.x, 2);
  EXPECT_FALSE(Logged("locked"));
  Tick();
  EXPECT_TRUE(Logged("locked"));
}

TEST_F(GameControllerTest, DropRefusesMovesAndTurnsUntilTheLock) {
  Start(0, {kT, kT});
  Tap(ActionDrop);
  Tick(3);
  TakeLog();
  Tap(ActionLeft);
  Tap(ActionRotate);
  EXPECT_EQ(game.x, 4);
  EXPECT_EQ(game.rotation, 0u);
  EXPECT_THAT(TakeLog(), IsEmpty());
  EXPECT_NE(game.Flags() & Dropping, 0u);  // releasing the button did not end it
  EXPECT_EQ(game.y, 17);
  EXPECT_EQ(TickUntil([&] { return Logged("locked"); }), 17);
}

TEST_F(GameControllerTest, DropOnARestingPieceKeepsTheLockDelay) {
  Start(0, {kT, kT});
  TickUntil([&] { return (game.Flags() & Landed) != 0; });
  Tick();
  Tap(ActionDrop);
  Tap(ActionRight);
  EXPECT_EQ(game.x, 4);
  Tick(2);
  EXPECT_FALSE(Logged("locked"));
  Tick();
  EXPECT_TRUE(Logged("locked"));
  EXPECT_EQ(game.Flags() & Dropping, 0u);
}

TEST_F(GameControllerTest, OnePressIsOneStep) {
  Start(0, {kO, kO});
  game.Press(ActionLeft);
  game.Press(ActionLeft);  // auto-repeat
  game.Press(ActionLeft);
  game.Press(ActionRight);  // a second button while the first is held
  EXPECT_EQ(game.x, 3);
  game.Release();
  game.Press(ActionRight);
  EXPECT_EQ(game.x, 4);
  game.Release();

  game.Press(7);  // no such action: no step, but the button counts as held
  EXPECT_NE(game.Flags() & ButtonHeld, 0u);
  game.Press(ActionLeft);
  EXPECT_EQ(game.x, 4);
  game.Release();
  EXPECT_EQ(game.Flags() & ButtonHeld, 0u);
}

TEST_F(GameControllerTest, MovesRepaintOldAndNewPlaceAndStopAtTheWalls) {
  Start(0, {kO, kO});
  Tap(ActionLeft);
  EXPECT_THAT(TakeLog(),
              ElementsAre("InvalidatePiece 4,20,0", "InvalidatePiece 3,20,0", "UpdateNow"));

  struct WallCase {
    int piece, state, action, stopX;
  };
  const WallCase cases[] = {
      {kO, 0, ActionLeft, 0},  {kO, 0, ActionRight, 8}, {kI, 0, ActionLeft, 0},
      {kI, 0, ActionRight, 9}, {kI, 1, ActionRight, 6}, {kT, 1, ActionRight, 7},
  };
  for (const WallCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "piece " << c.piece << " state " << c.state);
    Start(0, {static_cast<uint32_t>(c.piece), 0});
    if (c.state == 1) Tap(ActionRotate);
    for (int i = 0; i < 10; ++i) Tap(c.action);
    EXPECT_EQ(game.x, c.stopX);
    TakeLog();
    Tap(c.action);
    EXPECT_EQ(game.x, c.stopX);
    EXPECT_THAT(TakeLog(), IsEmpty());
  }
}

TEST_F(GameControllerTest, TurningThroughAllStatesComesBackToTheStart) {
  for (int piece = 0; piece < kPieceCount; ++piece) {
    SCOPED_TRACE(piece);
    Start(9, {static_cast<uint32_t>(piece), 0});
    Tick(5);
    ASSERT_EQ(game.y, 15);
    for (int turn = 1; turn <= game.current->rotationCount; ++turn) {
      Tap(ActionRotate);
      const bool barLying = piece == kI && game.rotation == 1;
      EXPECT_EQ(game.x, barLying ? 3 : 4) << "turn " << turn;
      EXPECT_EQ(game.y, barLying ? 16 : 15) << "turn " << turn;
    }
    EXPECT_EQ(game.rotation, 0u);
  }
  Start(0, {kI, 0});
  Tap(ActionRotate);
  EXPECT_THAT(TakeLog(),
              ElementsAre("InvalidatePiece 4,20,0", "InvalidatePiece 3,21,1", "UpdateNow"));
}

struct BlockedTurnCase {
  const char* name;
  int piece;
  std::vector<int> taps;
  int ticks;
  std::vector<std::pair<int, int>> occupied;  // row, column
  bool turns;
};

TEST_F(GameControllerTest, ABlockedTurnIsRefusedOutright) {
  const BlockedTurnCase cases[] = {
      {"upright bar at the left wall",
       kI,
       {ActionLeft, ActionLeft, ActionLeft, ActionLeft},
       0,
       {},
       false},
      {"flat bar lying on the floor", kI, {ActionRotate}, 210, {}, false},
      {"T on the floor beside a cell", kT, {}, 200, {{1, 6}}, false},
      {"T on the floor with room", kT, {}, 200, {{2, 6}}, true},
      {"square", kO, {}, 0, {}, true},
  };
  for (const BlockedTurnCase& c : cases) {
    SCOPED_TRACE(c.name);
    Start(0, {static_cast<uint32_t>(c.piece), 0}, [&](Board& board) {
      for (auto [row, column] : c.occupied) SetCell(board, row, column);
    });
    for (int action : c.taps) Tap(action);
    Tick(c.ticks);
    ASSERT_EQ(game.Flags() & Running, static_cast<uint32_t>(Running));
    const uint32_t rotationBefore = game.rotation;
    const int xBefore = game.x, yBefore = game.y;
    TakeLog();
    Tap(ActionRotate);
    const uint32_t turned = (rotationBefore + 1) % game.current->rotationCount;
    EXPECT_EQ(game.rotation, c.turns ? turned : rotationBefore);
    if (!c.turns) {
      EXPECT_EQ(game.x, xBefore);
      EXPECT_EQ(game.y, yBefore);
      EXPECT_THAT(TakeLog(), IsEmpty());
    } else {
      EXPECT_THAT(TakeLog(), testing::Contains("UpdateNow"));
    }
  }
}

TEST_F(GameControllerTest, FullRowsShowForTenTicksThenGo) {
  Start(0, {kI, kO}, [](Board& board) {
    FillRow(board, 0, {4});
    FillRow(board, 1, {4});
  });
  Tap(ActionDrop);
  TickUntil([&] { return Logged("locked"); });
  EXPECT_NE(game.Flags() & RowsPending, 0u);
  Tap(ActionDrop);  // nothing falls while rows are on show
  Tap(ActionLeft);
  EXPECT_EQ(game.Flags() & Dropping, 0u);
  TakeLog();
  Tick(9);
  EXPECT_EQ(game.board.rowFill[0], 10);
  EXPECT_THAT(TakeLog(), IsEmpty());
  Tick();
  EXPECT_THAT(TakeLog(), ElementsAre("rows 2", "InvalidateAll", "UpdateNow"));
  EXPECT_EQ(game.Rows(), 2);
  EXPECT_EQ(game.Flags() & RowsPending, 0u);
  // The bar's two upper cells came down to the floor.
  EXPECT_EQ(game.board.rowFill[0], 1);
  EXPECT_EQ(game.board.rowFill[1], 1);
  EXPECT_EQ(game.board.cells[1][4], kI + 1);
  EXPECT_EQ(game.board.rowFill[2], 0);
  EXPECT_EQ(game.Score(), 24);  // removed rows earn nothing by themselves
  EXPECT_EQ(TickUntil([&] { return game.current != nullptr; }), 10);
}

struct LevelCase {
  int initial, levelBefore, rowsBefore, removed;
  int rowsAfter, levelAfter;
  bool raised;
};

TEST_F(GameControllerTest, LevelRisesWithTheRemovalThatPassesEachTen) {
  const LevelCase cases[] = {
      {0, 0, 6, 4, 10, 0, false}, {0, 0, 9, 1, 10, 0, false},   {0, 0, 10, 1, 11, 1, true},
      {0, 0, 7, 4, 11, 1, true},  {0, 1, 11, 4, 15, 1, false},  {0, 1, 17, 4, 21, 2, true},
      {3, 3, 0, 1, 1, 3, false},  {8, 8, 10, 1, 11, 9, true},   {8, 9, 30, 4, 34, 9, false},
      {9, 9, 0, 4, 4, 9, false},  {9, 9, 97, 4, 101, 9, false},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "start " << c.initial << " rows " << c.rowsBefore << "+" << c.removed);
    Start(c.initial, {kI, kO}, [&](Board& board) {
      for (int row = 0; row < c.removed; ++row) FillRow(board, row, {4});
    });
    game.rows = c.rowsBefore;
    game.level = c.levelBefore;
    game.ticksPerStep = 10 - c.levelBefore;
    Tap(ActionDrop);
    TickUntil([&] { return Logged("rows"); });
    EXPECT_TRUE(Logged("rows " + std::to_string(c.rowsAfter) + (c.raised ? " raised" : "")))
        << testing::PrintToString(game.log);
    EXPECT_EQ(game.Rows(), c.rowsAfter);
    EXPECT_EQ(game.Level(), c.levelAfter);
    EXPECT_EQ(game.ticksPerStep, 10 - c.levelAfter);
  }
}

TEST_F(GameControllerTest, NoRoomForTheNextPieceEndsTheGame) {
  Start(0, {kO, kO});
  Tap(ActionDrop);
  TickUntil([&] { return Logged("locked"); });
  SetCell(game.board, 19, 4);  // the stack now reaches the top under the entry place
  TakeLog();
  Tick(10);
  EXPECT_THAT(TakeLog(), ElementsAre("next", "InvalidateAll", "UpdateNow", "KillTimer", "over 24"));
  EXPECT_EQ(game.Flags() & Running, 0u);
  EXPECT_EQ(game.NextPiece(), nullptr);
  EXPECT_EQ(game.Score(), 24);
  Tick(50);
  Tap(ActionLeft);
  EXPECT_THAT(TakeLog(), IsEmpty());
}

TEST_F(GameControllerTest, LockingWithACellAboveTheTopEndsTheGameWithoutPoints) {
  for (bool dropped : {false, true}) {
    SCOPED_TRACE(dropped ? "dropped" : "fallen");
    Start(0, {kO, kO}, [](Board& board) {
      SetCell(board, 18, 4);
      SetCell(board, 18, 5);
    });
    EXPECT_EQ(game.landing, 19);
    if (dropped) Tap(ActionDrop);
    TickUntil([&] { return (game.Flags() & Running) == 0; });
    EXPECT_THAT(TakeLog(), testing::IsSupersetOf({"InvalidateAll", "UpdateNow"}));
    EXPECT_FALSE(Logged("locked"));
    EXPECT_EQ(game.Score(), 0);
    EXPECT_EQ(game.current, &game.pieces[kO]);  // still shown where it stopped
    EXPECT_EQ(game.board.cells[19][4], kO + 1);
    EXPECT_EQ(game.board.cells[19][5], kO + 1);
    EXPECT_EQ(game.board.rowFill[19], 2);
  }
}

TEST_F(GameControllerTest, GameOverEventComesLastAfterTheTimerStopped) {
  Start(0, {kO, kO}, [](Board& board) {
    SetCell(board, 18, 4);
    SetCell(board, 18, 5);
  });
  Tap(ActionDrop);
  Tick();
  EXPECT_THAT(TakeLog(), ElementsAre("InvalidateAll", "UpdateNow", "KillTimer", "over 0"));
}

TEST_F(GameControllerTest, PauseAndStopNeedARunningGame) {
  game.Stop();
  game.SetPaused(true);
  game.SetPaused(false);
  Tick();
  EXPECT_THAT(TakeLog(), IsEmpty());
  EXPECT_FALSE(game.IsPaused());
  EXPECT_EQ(game.Flags(), 0u);
  EXPECT_EQ(game.NextPiece(), nullptr);
}

TEST_F(GameControllerTest, PauseFreezesTheGameWhereItStood) {
  Start(0, {kO, kO});
  Tick(6);
  game.SetPaused(true);
  game.SetPaused(true);
  EXPECT_THAT(TakeLog(), ElementsAre("KillTimer"));
  EXPECT_TRUE(game.IsPaused());
  Tick(20);  // ticks queued before the timer died
  Tap(ActionLeft);
  EXPECT_EQ(game.y, 20);
  EXPECT_EQ(game.x, 4);
  EXPECT_THAT(TakeLog(), IsEmpty());

  game.SetPaused(false);
  game.SetPaused(false);
  EXPECT_THAT(TakeLog(), ElementsAre("StartTimer"));
  Tick(3);
  EXPECT_EQ(game.y, 20);
  Tick();
  EXPECT_EQ(game.y, 19);
}

TEST_F(GameControllerTest, NewGameWhilePausedStartsUnpaused) {
  Start(0, {kO, kO});
  game.SetPaused(true);
  TakeLog();
  game.randoms = {kT, kT};
  game.NewGame(2);
  EXPECT_THAT(TakeLog(), ElementsAre("KillTimer", "started", "StartTimer", "next", "InvalidateAll",
                                     "UpdateNow"));
  EXPECT_FALSE(game.IsPaused());
  EXPECT_EQ(game.Flags(), static_cast<uint32_t>(Running));
  EXPECT_EQ(game.current, &game.pieces[kT]);
  Tick(8);
  EXPECT_EQ(game.y, 19);
}

TEST_F(GameControllerTest, StopEndsTheGameQuietly) {
  Start(0, {kO, kO});
  Tick(30);
  TakeLog();
  game.Stop();
  EXPECT_THAT(TakeLog(), ElementsAre("KillTimer"));
  EXPECT_EQ(game.Flags() & Running, 0u);
  EXPECT_EQ(game.NextPiece(), nullptr);
  EXPECT_EQ(game.current, &game.pieces[kO]);  // the last picture stays
  EXPECT_EQ(game.y, 17);
  game.Stop();
  game.SetPaused(true);
  Tick(20);
  EXPECT_THAT(TakeLog(), IsEmpty());
  EXPECT_EQ(game.y, 17);
}

TEST_F(GameControllerTest, OnlyTimerOneDrivesTheGame) {
  Start(0, {kO, kO});
  for (int i = 0; i < 30; ++i) game.OnTimer(2);
  EXPECT_EQ(game.y, 20);
  EXPECT_THAT(TakeLog(), IsEmpty());
}

TEST_F(GameControllerTest, RunsWithoutAnEventSink) {
  game.SetEvents(nullptr);
  game.randoms = {kO, kO, kO, kO, kO, kO, kO, kO, kO, kO, kO, kO};
  game.NewGame(9);
  int ticks = 0;
  while ((game.Flags() & Running) && ticks++ < 5000) {
    Tap(ActionDrop);
    Tick();
  }
  // Ten squares stacked in one column fill it to the top; the eleventh has no room.
  EXPECT_EQ(game.Flags() & Running, 0u);
  EXPECT_EQ(game.Score(), 10 * 51);
  EXPECT_FALSE(Logged("started"));
}

}  // namespace
