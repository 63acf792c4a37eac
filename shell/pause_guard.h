#pragma once
#include "game/game_controller.h"

// Pauses a running game for the length of a dialog and resumes it afterwards, unless the player
// had paused it already. Harmless while no game runs: SetPaused then does nothing.
class PauseGuard {
 public:
  explicit PauseGuard(GameController& game) : game_(game), wasPaused_(game.IsPaused()) {
    if (!wasPaused_) game_.SetPaused(true);
  }
  ~PauseGuard() {
    if (!wasPaused_) game_.SetPaused(false);
  }
  PauseGuard(const PauseGuard&) = delete;
  PauseGuard& operator=(const PauseGuard&) = delete;

 private:
  GameController& game_;
  const bool wasPaused_;
};
