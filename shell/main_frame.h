#pragma once
// The game's only top-level window: menu bar, board, preview and labels; it turns commands into
// calls of the rules and hears back from them as their GameEvents.
#include <windows.h>

#include <span>

#include "game/game_controller.h"
#include "shell/label_font.h"
#include "shell/layout.h"
#include "shell/options_dialog.h"
#include "shell/registry_paths.h"
#include "shell/settings.h"
#include "ui/window.h"
#include "views/board_view.h"
#include "views/preview_view.h"

constexpr int kGameId = 83;
constexpr int kScoreTableSize = 10;

// Posted to the frame to set its window back to its own size after a window manager's resize.
constexpr UINT kWmHoldMinimum = WM_APP + 1;

class MainFrame : public ui::Window<MainFrame>, public GameEvents {
 public:
  static constexpr const wchar_t* kClassName = L"GravlinCE";
  static void FillClass(WNDCLASSW& wc);
  static std::span<const ui::MessageEntry<MainFrame>> Messages();
  static std::span<const ui::CommandEntry<MainFrame>> Commands();

  MainFrame() = default;
  ~MainFrame() override;

  // Creates the window for the screen's work area: over all of it on a screen of handheld
  // size, elsewhere as a desktop window where it stood last time. Its creation starts the first
  // game. Null on failure.
  HWND Create(HINSTANCE instance, const RECT& workArea);

  // The message loop hands each message here first: Pause, F2 and F10 act for the pause button,
  // "New game" and "Extras", unless the player gave the key to a game action; Alt alone opens
  // "Extras" too. True when taken.
  bool TranslateKey(const MSG& msg);

  // Read access for tests and measurements.
  const GameController& Game() const { return game_; }
  const BoardView& Board() const { return game_; }
  const Settings& CurrentSettings() const { return settings_; }
  HWND MenuBar() const { return menuBar_; }

  // The game's pause, shown on the menu bar's pause button whichever way it came.
  bool IsPaused() const { return game_.IsPaused(); }
  void SetPaused(bool paused);

  void OnGameStarted() override;
  void OnPieceLocked() override;
  void OnRowsRemoved(bool levelRaised) override;
  void OnNextPiece() override;
  void OnGameOver(int score) override;

 private:
  enum Label { LevelCaption, LevelValue, ScoreCaption, ScoreValue, RowsCaption, RowsValue };

  LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyTargetDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyTargetUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
  LRESULT OnSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
  LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
  LRESULT OnHoldMinimum(WPARAM wParam, LPARAM lParam);
  LRESULT OnEnterSizeMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);
  LRESULT OnClose(WPARAM wParam, LPARAM lParam);
  LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);

  void OnAbout(WORD notifyCode, HWND control);
  void OnOptions(WORD notifyCode, HWND control);
  void OnScores(WORD notifyCode, HWND control);
  void OnNewGame(WORD notifyCode, HWND control);
  void OnPause(WORD notifyCode, HWND control);
  void OnExit(WORD notifyCode, HWND control);

  FrameLayout CurrentLayout();
  bool CreateChildren(const FrameLayout& layout);
  void Relayout();
  void PauseForWindow();
  void PauseForPlace();
  void SetNumber(Label label, int value);
  int ShowScores(int newScore);
  void ShowPauseState();
  void SetIcons();
  void KeepOptions(const OptionsDialog& dialog);
  bool TranslateAlt(const MSG& msg, bool down);
  void OpenExtrasFromKeyboard();
  void ReleaseKeyTarget();

  HINSTANCE instance_ = nullptr;
  HWND menuBar_ = nullptr;
  bool desktop_ = false;        // a desktop window rather than the handheld's full screen
  bool shown_ = false;          // placed and shown: from now on a new place or size pauses
  bool placing_ = false;        // shown, but a window manager may still be placing it
  bool placingPaused_ = false;  // the pause came from a new place while placing, and nothing since
  int textHeight_ = kDefaultTextHeight;
  SIZE laidOut_ = {};          // the client size the children were placed for
  POINT placed_ = {};          // where the window stood when last seen
  POINT placementShift_ = {};  // the platform's placement rectangles from screen coordinates
  bool keyReported_ = false;
  bool keyTargetHeld_ = false;
  bool altAlone_ = false;             // Alt is down and no other key came since
  OptionsDialog* options_ = nullptr;  // while open: its OK is kept even if the run never returns
  BoardView game_;
  PreviewView preview_;  // destroyed before game_, whose painter it borrows
  HWND labels_[kLabelCount] = {};
  LabelFont labelFont_;  // the labels' on a desktop
  HICON icons_[2] = {};  // the title bar's and task bar's: large, small
  Settings settings_;
  wchar_t text_[16] = {};  // one buffer for every number shown
};
