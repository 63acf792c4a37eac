#pragma once

#include <cstdint>

#include "game/board.h"
#include "game/piece_set.h"

enum GameAction { ActionLeft = 0, ActionRight = 1, ActionRotate = 2, ActionDrop = 3 };

enum GameFlag : uint32_t {
  Running = 1,
  Paused = 2,
  Dropping = 4,
  RowsPending = 8,
  Landed = 16,
  ButtonHeld = 32,
  PartialRepaint = 128,
};

// What the frame hears from the rules. Every default does nothing.
class GameEvents {
 public:
  virtual void OnGameStarted() {}
  virtual void OnPieceLocked() {}
  virtual void OnRowsRemoved(bool /*levelRaised*/) {}
  virtual void OnNextPiece() {}
  virtual void OnGameOver(int /*score*/) {}
  virtual ~GameEvents() = default;
};

// The rules of play. The board window derives from it and supplies the services below, so the
// rules run the same with a window or with a test double.
class GameController {
 public:
  static constexpr uintptr_t kTimerId = 1;
  static constexpr unsigned kTimerPeriodMs = 50;
  static constexpr int kMaxLevel = 9;

  // Builds the piece set and clears the well, so the object is ready before any window exists.
  GameController();
  virtual ~GameController() = default;
  GameController(const GameController&) = delete;
  GameController& operator=(const GameController&) = delete;

  // Null restores the silent default.
  void SetEvents(GameEvents* sink);
  void NewGame(int startLevel);
  void Stop();
  void SetPaused(bool paused);
  bool IsPaused() const;
  void Press(int action);
  void Release();
  const Piece* NextPiece() const;
  void OnTimer(uintptr_t id);
  int Level() const { return level; }
  int Rows() const { return rows; }
  int Score() const { return score; }
  uint32_t Flags() const { return flags; }

 protected:
  virtual void StartTimer() = 0;  // timer kTimerId, kTimerPeriodMs
  virtual void KillTimer() = 0;
  virtual void InvalidateAll() = 0;    // whole window, with erase
  virtual void InvalidatePiece() = 0;  // the falling piece's neighbourhood at x, y, rotation now
  virtual void UpdateNow() = 0;        // paint what is invalid, synchronously
  virtual uint32_t Random() = 0;

  // The falling piece's rotation state, or null between pieces.
  const Rotation* CurrentRotation() const;

  Board board;
  PieceSet pieces;
  const Piece* current = nullptr;
  uint32_t rotation = 0;
  int32_t next = -1;
  int32_t landing = 0;
  int8_t tickCount = 0;
  uint8_t x = 0, y = 0;
  uint32_t flags = 0;
  int32_t initialLevel = 0, level = 0, rows = 0, ticksPerStep = 10, score = 0, fallSteps = 0;
  GameEvents* events;

 private:
  bool CanStep() const;
  void Move(int dx);
  void Rotate();
  void GravityTick();
  void LockDelayTick();
  void FlashTick();
  bool Lock();
  bool Spawn();
  bool CheckLevel();
  int32_t RandomPieceIndex();
  void EndGame();
};
