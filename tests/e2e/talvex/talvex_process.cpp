#include "talvex_process.h"

#include <commctrl.h>

#include "tests/support/win_support.h"
#include "velcore/interface/velcore.h"

TalvexProcess::~TalvexProcess() {
  if (!info_.hProcess) return;
  if (WaitForExit(0) == STILL_ACTIVE) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

bool TalvexProcess::Start(const std::wstring& exe, const std::wstring& folder, DWORD flags) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + exe + L"\"";
  return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        folder.c_str(), &startup, &info_) != FALSE;
}

DWORD TalvexProcess::WaitForExit(DWORD ms) {
  DWORD code = STILL_ACTIVE;
  PumpUntil(ms, [&] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; });
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

HWND TalvexProcess::WaitForFrame(DWORD ms) {
  HWND frame = nullptr;
  PumpUntil(ms, [&] {
    frame = test_support::FindVisibleWindow(L"GravlinCE", Id());
    if (!frame) return false;
    const auto labels = Labels(frame);
    return labels.size() == 6 && !WindowText(labels[1]).empty();
  });
  return frame;
}

HWND TalvexProcess::FindDialog(const wchar_t* caption) const {
  return test_support::FindVisibleWindow(L"#32770", Id(), caption);
}

HWND TalvexProcess::WaitForDialog(DWORD ms, const wchar_t* caption) {
  HWND dialog = nullptr;
  PumpUntil(ms, [&] { return (dialog = FindDialog(caption)) != nullptr; });
  return dialog;
}

DWORD TalvexProcess::Exit() {
  if (WaitForExit(0) != STILL_ACTIVE) return WaitForExit(0);
  if (HWND frame = test_support::FindVisibleWindow(L"GravlinCE", Id())) Command(frame, 108);
  DWORD code = WaitForExit(5000);
  if (code == STILL_ACTIVE) {
    TerminateProcess(info_.hProcess, 99);
    code = WaitForExit(5000);
  }
  return code;
}

std::vector<HWND> Labels(HWND frame) {
  return test_support::ChildrenOfClass(frame, L"Static");
}

std::vector<std::wstring> LabelTexts(HWND frame) {
  std::vector<std::wstring> texts;
  for (HWND label : Labels(frame)) texts.push_back(WindowText(label));
  return texts;
}

std::wstring MessageBoxText(HWND box) {
  // The message box keeps its text in a static control with id 0xFFFF.
  return WindowText(GetDlgItem(box, 0xFFFF));
}

HWND Board(HWND frame) {
  return FindWindowExW(frame, nullptr, L"GravlinBoardCE", nullptr);
}

void PressButton(HWND frame, int action) {
  SendMessageW(frame, WM_KEYTARGET_DOWN, action, 0);
}

void ReleaseButton(HWND frame, int action) {
  SendMessageW(frame, WM_KEYTARGET_UP, action, 0);
}

void Command(HWND frame, int id) {
  PostMessageW(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool WaitForPause(HWND frame, DWORD ms) {
  HWND toolbar = test_support::MenuBarToolbar(frame);
  const bool paused = PumpUntil(ms, [&] {
    const LRESULT state = SendMessageW(toolbar, TB_GETSTATE, IDM_PAUSE, 0);
    return state != -1 && (state & TBSTATE_CHECKED);
  });
  UpdateWindow(Board(frame));
  return paused;
}

HWND PlayToTheEnd(TalvexProcess& game, HWND frame, std::wstring& finalScore, DWORD ms) {
  HWND shown = nullptr;
  const HWND scoreLabel = Labels(frame)[3];
  PumpUntil(ms, [&] {
    finalScore = WindowText(scoreLabel);
    if ((shown = game.FindDialog()) != nullptr) return true;
    PressButton(frame, ActionDrop);
    ReleaseButton(frame, ActionDrop);
    return false;
  });
  return shown;
}

bool AnswerGameEnd(HWND shown, const wchar_t* name) {
  if (HWND list = GetDlgItem(shown, 1006)) {
    HWND editor = nullptr;
    if (PumpUntil(3000, [&] {
          return (editor = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0))) !=
                 nullptr;
        })) {
      SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
      PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 0x001C0001);
      PostMessageW(editor, WM_KEYUP, VK_RETURN, 0xC01C0001);
      PumpUntil(3000, [&] { return SendMessageW(list, LVM_GETEDITCONTROL, 0, 0) == 0; });
    }
  }
  CloseWithOk(shown);
  return PumpUntil(5000, [&] { return !IsWindow(shown); });
}
