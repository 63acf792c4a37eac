#include "game/game_controller.h"

#include <algorithm>

namespace {

constexpr int kSpawnX = 4;
constexpr int kSpawnY = Board::kRows;
constexpr int kLockDelayTicks = 4;
constexpr int kFlashTicks = 10;
constexpr int kSlowestTicksPerStep = 10;

// Stands in until the frame hands over its sink, so no step ever calls through null.
GameEvents silentEvents;

}  // namespace

GameController::GameController() : events(&silentEvents) {
  board.Clear();
  BuildPieceSet(pieces);
}

void GameController::SetEvents(GameEvents* sink) {
  events = sink ? sink : &silentEvents;
}

void GameController::NewGame(int startLevel) {
  if (flags & Running) Stop();
  flags &= ~Paused;
  board.Clear();
  // The stored option is kept in range by its reader; a stray value still gets a sane speed.
  startLevel = std::clamp(startLevel, 0, kMaxLevel);
  score = 0;
  rows = 0;
  tickCount = 0;
  ticksPerStep = kSlowestTicksPerStep - startLevel;
  level = initialLevel = startLevel;
  events->OnGameStarted();
  StartTimer();
  next = RandomPieceIndex();
  Spawn();  // an empty well always has room
  flags &= ~(Dropping | RowsPending | Landed);
  flags |= Running;
  InvalidateAll();
  UpdateNow();
}

void GameController::Stop() {
  if (!(flags & Running)) return;
  flags &= ~Running;
  next = -1;
  KillTimer();
}

void GameController::SetPaused(bool paused) {
  if (!(flags & Running)) return;
  if (paused && !(flags & Paused)) {
    flags |= Paused;
    KillTimer();
  } else if (!paused && (flags & Paused)) {
    flags &= ~Paused;
    StartTimer();
  }
}

bool GameController::IsPaused() const {
  return (flags & Paused) != 0;
}

void GameController::Press(int action) {
  // Auto-repeat and a second button both arrive while the first is held: one step per press.
  if (flags & ButtonHeld) return;
  flags |= ButtonHeld;
  if (!CanStep()) return;
  switch (action) {
    case ActionLeft:
      Move(-1);
      break;
    case ActionRight:
      Move(1);
      break;
    case ActionRotate:
      Rotate();
      break;
    case ActionDrop:
      flags |= Dropping;
      break;
    default:
      break;
  }
}

void GameController::Release() {
  flags &= ~ButtonHeld;
}

const Piece* GameController::NextPiece() const {
  return next >= 0 && next < kPieceCount ? &pieces[next] : nullptr;
}

void GameController::OnTimer(uintptr_t id) {
  // A tick already queued when the timer was killed must not move a paused game.
  if (id != kTimerId || !(flags & Running) || (flags & Paused)) return;
  if (flags & Landed) {
    LockDelayTick();
  } else if (flags & RowsPending) {
    FlashTick();
  } else {
    GravityTick();
  }
}

const Rotation* GameController::CurrentRotation() const {
  return current ? &current->rotations[rotation] : nullptr;
}

bool GameController::CanStep() const {
  return (flags & Running) && !(flags & (Dropping | Paused)) && current;
}

void GameController::Move(int dx) {
  const Rotation& state = *CurrentRotation();
  const int newX = x + dx;
  if (!board.Fits(state, newX, y)) return;
  InvalidatePiece();
  x = static_cast<uint8_t>(newX);
  landing = board.LandingRow(state, x, y);
  // Over a gap again; a move never sets Landed, the next gravity step finds the rest.
  if (y > landing) flags &= ~Landed;
  InvalidatePiece();
  UpdateNow();
}

void GameController::Rotate() {
  const Rotation& from = current->rotations[rotation];
  const uint32_t to = rotation + 1 < current->rotationCount ? rotation + 1 : 0;
  const Rotation& state = current->rotations[to];
  // Half the change of size, toward zero: only the four-in-a-line piece shifts.
  const int newX = x + (from.width - state.width) / 2;
  const int newY = y + (from.height - state.height) / 2;
  if (!board.Fits(state, newX, newY)) return;
  InvalidatePiece();
  x = static_cast<uint8_t>(newX);
  y = static_cast<uint8_t>(newY);
  rotation = to;
  landing = board.LandingRow(state, x, y);
  if (y > landing) flags &= ~Landed;
  InvalidatePiece();
  UpdateNow();
}

void GameController::GravityTick() {
  if (!(flags & Dropping)) {
    if (++tickCount < ticksPerStep) return;
    tickCount = 0;
  }
  bool gameOver = false;
  bool moved = true;
  if (!current) {
    gameOver = Spawn();
  } else {
    if (y > landing) --y;
    if (!(flags & Dropping)) ++fallSteps;
    if (y <= landing) {
      moved = false;
      if (flags & Dropping) {
        gameOver = Lock();
      } else {
        flags |= Landed;
      }
    }
  }
  if (gameOver) moved = false;
  if (moved) {
    InvalidatePiece();
  } else {
    InvalidateAll();
  }
  UpdateNow();
  if (gameOver) EndGame();
}

void GameController::LockDelayTick() {
  if (++tickCount < kLockDelayTicks) return;
  const bool gameOver = Lock();
  InvalidateAll();
  UpdateNow();
  if (gameOver) EndGame();
}

void GameController::FlashTick() {
  if (++tickCount < kFlashTicks) return;
  flags &= ~RowsPending;
  tickCount = 0;
  rows += board.RemoveFullRows();
  const bool raised = CheckLevel();
  events->OnRowsRemoved(raised);
  InvalidateAll();
  UpdateNow();
}

bool GameController::Lock() {
  tickCount = 0;
  flags &= ~(Dropping | Landed);
  const bool aboveTop =
      board.Place(*CurrentRotation(), x, y, static_cast<uint8_t>(current->colour + 1));
  // The piece stays current: its cells inside the well are part of the final picture.
  if (aboveTop) return true;
  score += 3 * (level + 8) - fallSteps;
  current = nullptr;
  events->OnPieceLocked();
  if (board.HasFullRow()) flags |= RowsPending;
  return false;
}

bool GameController::Spawn() {
  const int32_t piece = next;
  next = RandomPieceIndex();
  current = &pieces[piece];
  x = kSpawnX;
  fallSteps = 0;
  rotation = 0;
  y = kSpawnY;
  landing = board.LandingRow(current->rotations[0], x, y);
  events->OnNextPiece();
  return landing >= Board::kRows;
}

bool GameController::CheckLevel() {
  const int target = std::clamp(initialLevel + (rows - 1) / 10, 0, kMaxLevel);
  if (level >= target) return false;
  ++level;
  ticksPerStep = kSlowestTicksPerStep - level;
  return true;
}

int32_t GameController::RandomPieceIndex() {
  return static_cast<int32_t>(Random() % static_cast<uint32_t>(kPieceCount));
}

void GameController::EndGame() {
  Stop();
  events->OnGameOver(score);
}
