#pragma once

#include <climits>
#include <cstdint>

#include "game/game_controller.h"

// A whole game without a window: the services do nothing, the pieces come from a fixed
// pseudo-random sequence, and a simple player steers each piece to the lowest, least holey
// place it sees, then drops it. A game that ends is followed by a new one.
class ScriptedGame : public GameController, private GameEvents {
 public:
  struct Tally {
    uint64_t ticks = 0, games = 0, pieces = 0, rows = 0, levelRaises = 0, pauses = 0;
    int topLevel = 0;
  };

  explicit ScriptedGame(uint32_t seed = 0x9E3779B9u) : seed_(seed ? seed : 1) { SetEvents(this); }

  // One timer tick: the player reacts, then the clock moves the game on.
  void Step() {
    if (!(Flags() & Running)) {
      NewGame(static_cast<int>(tally.games % 4));
      ++tally.games;
    }
    if (++tally.ticks % 1009 == 0) {  // now and then the frame is deactivated for a moment
      SetPaused(true);
      OnTimer(kTimerId);
      SetPaused(false);
      ++tally.pauses;
    }
    Act();
    OnTimer(kTimerId);
  }

  Tally tally;

 protected:
  void StartTimer() override {}
  void KillTimer() override {}
  void InvalidateAll() override {}
  void InvalidatePiece() override {}
  void UpdateNow() override {}
  uint32_t Random() override {  // xorshift32
    seed_ ^= seed_ << 13;
    seed_ ^= seed_ >> 17;
    seed_ ^= seed_ << 5;
    return seed_;
  }

 private:
  void OnNextPiece() override { planPending_ = true; }
  void OnPieceLocked() override { ++tally.pieces; }
  void OnRowsRemoved(bool levelRaised) override {
    tally.rows = tally.rows - lastRows_ + static_cast<uint64_t>(Rows());
    lastRows_ = static_cast<uint64_t>(Rows());
    if (levelRaised) ++tally.levelRaises;
    if (Level() > tally.topLevel) tally.topLevel = Level();
  }
  void OnGameStarted() override { lastRows_ = 0; }

  // Every tick lets go of the button and presses at most one: turn, then move, then drop.
  void Act() {
    Release();
    if (!current || (Flags() & (Dropping | RowsPending))) return;
    if (planPending_) {
      Plan();
      planPending_ = false;
    }
    const uint32_t rotationBefore = rotation;
    const int xBefore = x;
    if (!giveUp_ && rotation != targetRotation_) {
      Press(ActionRotate);
      giveUp_ = rotation == rotationBefore;
    } else if (!giveUp_ && x != targetX_) {
      Press(targetX_ < x ? ActionLeft : ActionRight);
      giveUp_ = x == xBefore;
    } else {
      Press(ActionDrop);
    }
  }

  void Plan() {
    giveUp_ = false;
    targetRotation_ = 0;
    targetX_ = x;
    int heights[Board::kColumns] = {};
    for (int column = 0; column < Board::kColumns; ++column) {
      for (int row = Board::kRows - 1; row >= 0; --row) {
        if (board.cells[row][column]) {
          heights[column] = row + 1;
          break;
        }
      }
    }
    int bestCost = INT_MAX;
    for (uint32_t r = 0; r < current->rotationCount; ++r) {
      const Rotation& state = current->rotations[r];
      for (int column = 0; column + state.width <= Board::kColumns; ++column) {
        const int land = board.LandingRow(state, column, Board::kRows);
        int holes = 0;
        for (int c = 0; c < state.width; ++c) holes += land + state.bottom[c] - heights[column + c];
        int completed = 0;
        for (int row = land; row < land + state.height && row < Board::kRows; ++row) {
          int fill = board.rowFill[row];
          for (const CellOffset& cell : state.offsets) fill += land + cell.dy == row;
          completed += fill == Board::kColumns;
        }
        const int cost = holes * 6 + (land + state.height) * 2 - completed * 10;
        if (cost < bestCost) {
          bestCost = cost;
          targetRotation_ = r;
          targetX_ = column;
        }
      }
    }
  }

  uint32_t seed_;
  uint64_t lastRows_ = 0;
  bool planPending_ = false;
  bool giveUp_ = false;
  uint32_t targetRotation_ = 0;
  int targetX_ = 0;
};
