#pragma once
// One started copy of the game, seen from outside: its windows, labels, dialogs and exit code.
#include <windows.h>

#include <string>
#include <vector>

// Waits, pumping this thread's messages, until done() holds or ms have passed.
template <class Done>
bool WaitFor(DWORD ms, Done done) {
  const DWORD end = GetTickCount() + ms;
  for (;;) {
    if (done()) return true;
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(15);
  }
}

// The folder of this test program, where the build puts Talvex.exe and velcore.dll.
std::wstring BinFolder();

class TalvexProcess {
 public:
  TalvexProcess() = default;
  ~TalvexProcess();
  TalvexProcess(const TalvexProcess&) = delete;
  TalvexProcess& operator=(const TalvexProcess&) = delete;

  // Starts exe with folder as its working directory.
  bool Start(const std::wstring& exe, const std::wstring& folder);
  bool Start() { return Start(BinFolder() + L"Talvex.exe", BinFolder()); }

  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  // The exit code, or STILL_ACTIVE when it has not ended within ms.
  DWORD WaitForExit(DWORD ms);

  // The frame window once its first game has started (its level label has text), or null.
  HWND WaitForFrame(DWORD ms);
  // The first visible dialog or message box of this process, or null.
  HWND FindDialog() const;
  HWND WaitForDialog(DWORD ms);
  // The visible dialog of this process with that caption, or null.
  HWND FindDialog(const wchar_t* caption) const;
  HWND WaitForDialog(const wchar_t* caption, DWORD ms);

  // Exit through the menu; TerminateProcess when that does not end it.
  DWORD Exit();

 private:
  PROCESS_INFORMATION info_ = {};
};

std::wstring WindowText(HWND hwnd);
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

// The title-bar OK of a dialog; a message box's OK.
void CloseWithOk(HWND dialog);
// Drops pieces until the game ends and something shows up; returns that dialog or box (null
// after ms) and the last score shown.
HWND PlayToTheEnd(TalvexProcess& game, HWND frame, std::wstring& finalScore, DWORD ms = 60000);
// Answers what a game's end showed: the scores dialog gets `name` typed into its new row and
// then its OK, the "Game over!" box its OK. Returns whether it went away.
bool AnswerGameEnd(HWND shown, const wchar_t* name);
