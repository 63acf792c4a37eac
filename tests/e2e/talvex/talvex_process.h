#pragma once
// One started copy of the game, seen from outside: its windows, labels, dialogs and exit code.
#include <windows.h>

#include <string>
#include <vector>

#include "game/game_controller.h"  // the actions a button press names
#include "shell/res/resource.h"    // the menu commands a click sends
#include "tests/support/win_support.h"

using test_support::BinFolder;
using test_support::CloseWithOk;
using test_support::Pump;
using test_support::PumpUntil;
using test_support::WindowText;

class TalvexProcess {
 public:
  TalvexProcess() = default;
  ~TalvexProcess();
  TalvexProcess(const TalvexProcess&) = delete;
  TalvexProcess& operator=(const TalvexProcess&) = delete;

  // Starts exe with folder as its working directory; with CREATE_SUSPENDED among the flags it
  // waits for Resume.
  bool Start(const std::wstring& exe, const std::wstring& folder, DWORD flags = 0);
  void Resume() { ResumeThread(info_.hThread); }
  bool Start() { return Start(BinFolder() + L"Talvex.exe", BinFolder()); }

  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  // The exit code, or STILL_ACTIVE when it has not ended within ms.
  DWORD WaitForExit(DWORD ms);

  // The frame window once its first game has started (its level label has text), or null.
  HWND WaitForFrame(DWORD ms);
  // The first visible dialog or message box of this process (with that caption, when one is
  // named), or null.
  HWND FindDialog(const wchar_t* caption = nullptr) const;
  HWND WaitForDialog(DWORD ms, const wchar_t* caption = nullptr);

  // Exit through the menu; TerminateProcess when that does not end it.
  DWORD Exit();

 private:
  PROCESS_INFORMATION info_ = {};
};

// The frame's six labels in creation order.
std::vector<HWND> Labels(HWND frame);
std::vector<std::wstring> LabelTexts(HWND frame);
// The text of a message box.
std::wstring MessageBoxText(HWND box);
HWND Board(HWND frame);

// The button messages, as the library sends them.
void PressButton(HWND frame, int action);
void ReleaseButton(HWND frame, int action);
void Command(HWND frame, int id);
// Waits until the frame shows a pause (its pause button checked), then has the board draw what
// the pause left, so that a picture taken next is the paused one.
bool WaitForPause(HWND frame, DWORD ms);

// Drops pieces until the game ends and something shows up; returns that dialog or box (null
// after ms) and the last score shown.
HWND PlayToTheEnd(TalvexProcess& game, HWND frame, std::wstring& finalScore, DWORD ms = 60000);
// Answers what a game's end showed: the scores dialog gets `name` typed into its new row and
// then its OK, the "Game over!" box its OK. Returns whether it went away.
bool AnswerGameEnd(HWND shown, const wchar_t* name);
