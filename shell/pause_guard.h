#pragma once

// Pauses a running game for the length of a dialog and resumes it afterwards, unless the player
// had paused it already. Harmless while no game runs: SetPaused then does nothing. Game is
// anything with IsPaused() and SetPaused(bool): the rules themselves, or the frame, which also
// shows the pause on its menu bar.
template <class Game>
class PauseGuard {
 public:
  explicit PauseGuard(Game& game) : game_(game), wasPaused_(game.IsPaused()) {
    if (!wasPaused_) game_.SetPaused(true);
  }
  ~PauseGuard() {
    if (!wasPaused_) game_.SetPaused(false);
  }
  PauseGuard(const PauseGuard&) = delete;
  PauseGuard& operator=(const PauseGuard&) = delete;

 private:
  Game& game_;
  const bool wasPaused_;
};
