#include "talvex_process.h"

#include "tests/support/win_support.h"
#include "velcore/interface/velcore.h"

std::wstring BinFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

TalvexProcess::~TalvexProcess() {
  if (!info_.hProcess) return;
  if (WaitForExit(0) == STILL_ACTIVE) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

bool TalvexProcess::Start(const std::wstring& exe, const std::wstring& folder) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + exe + L"\"";
  return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info_) != FALSE;
}

DWORD TalvexProcess::WaitForExit(DWORD ms) {
  DWORD code = STILL_ACTIVE;
  WaitFor(ms, [&] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; });
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

namespace {

HWND FindTopLevel(DWORD process, const wchar_t* className) {
  return test_support::FindVisibleWindow(className, process);
}

}  // namespace

HWND TalvexProcess::WaitForFrame(DWORD ms) {
  HWND frame = nullptr;
  WaitFor(ms, [&] {
    frame = FindTopLevel(Id(), L"GravlinCE");
    if (!frame) return false;
    const auto labels = Labels(frame);
    return labels.size() == 6 && !WindowText(labels[1]).empty();
  });
  return frame;
}

HWND TalvexProcess::FindDialog() const {
  return FindTopLevel(Id(), L"#32770");
}

HWND TalvexProcess::WaitForDialog(DWORD ms) {
  HWND dialog = nullptr;
  WaitFor(ms, [&] { return (dialog = FindDialog()) != nullptr; });
  return dialog;
}

HWND TalvexProcess::FindDialog(const wchar_t* caption) const {
  return test_support::FindVisibleWindow(L"#32770", Id(), caption);
}

HWND TalvexProcess::WaitForDialog(const wchar_t* caption, DWORD ms) {
  HWND dialog = nullptr;
  WaitFor(ms, [&] { return (dialog = FindDialog(caption)) != nullptr; });
  return dialog;
}

DWORD TalvexProcess::Exit() {
  if (WaitForExit(0) != STILL_ACTIVE) return WaitForExit(0);
  if (HWND frame = FindTopLevel(Id(), L"GravlinCE")) Command(frame, 108);
  DWORD code = WaitForExit(5000);
  if (code == STILL_ACTIVE) {
    TerminateProcess(info_.hProcess, 99);
    code = WaitForExit(5000);
  }
  return code;
}

std::wstring WindowText(HWND hwnd) {
  // Asked of the window itself: an edit control keeps its text apart from the window's name.
  wchar_t text[256] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                      &copied);
  return text;
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

void CloseWithOk(HWND dialog) {
  // A message box has a real OK button; the game's dialogs take the title bar's OK.
  if (GetDlgItem(dialog, 0xFFFF) && GetDlgItem(dialog, IDOK)) {
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  } else {
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
}

HWND PlayToTheEnd(TalvexProcess& game, HWND frame, std::wstring& finalScore, DWORD ms) {
  constexpr int kDrop = 3;
  HWND shown = nullptr;
  const HWND scoreLabel = Labels(frame)[3];
  WaitFor(ms, [&] {
    finalScore = WindowText(scoreLabel);
    if ((shown = game.FindDialog()) != nullptr) return true;
    PressButton(frame, kDrop);
    ReleaseButton(frame, kDrop);
    return false;
  });
  return shown;
}

bool AnswerGameEnd(HWND shown, const wchar_t* name) {
  if (HWND list = GetDlgItem(shown, 1006)) {
    HWND editor = nullptr;
    if (WaitFor(3000, [&] {
          return (editor = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0))) !=
                 nullptr;
        })) {
      SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
      PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 0x001C0001);
      PostMessageW(editor, WM_KEYUP, VK_RETURN, 0xC01C0001);
      WaitFor(3000, [&] { return SendMessageW(list, LVM_GETEDITCONTROL, 0, 0) == 0; });
    }
  }
  CloseWithOk(shown);
  return WaitFor(5000, [&] { return !IsWindow(shown); });
}
