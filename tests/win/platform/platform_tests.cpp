// The window plumbing and the handheld stand-ins, exercised on real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <vector>

#include "pocketpc/coredll.h"
#include "pocketpc/shell.h"
#include "ui/window.h"

namespace {

class ProbeWindow : public ui::Window<ProbeWindow> {
 public:
  static constexpr const wchar_t* kClassName = L"TalvenorProbeWindow";
  static std::span<const ui::MessageEntry<ProbeWindow>> Messages() {
    static const ui::MessageEntry<ProbeWindow> table[] = {
        {WM_CREATE, &ProbeWindow::OnCreate},
        {WM_APP, &ProbeWindow::OnApp},
    };
    return table;
  }
  static std::span<const ui::CommandEntry<ProbeWindow>> Commands() {
    static const ui::CommandEntry<ProbeWindow> table[] = {{42, &ProbeWindow::OnCommand42}};
    return table;
  }
  static std::span<const ui::NotifyEntry<ProbeWindow>> Notifications() {
    static const ui::NotifyEntry<ProbeWindow> table[] = {{7, 99, &ProbeWindow::OnNotify}};
    return table;
  }

  int creates = 0;
  std::vector<WORD> commandCodes;
  LRESULT OnCreate(WPARAM, LPARAM) {
    ++creates;
    return 0;
  }
  LRESULT OnApp(WPARAM w, LPARAM) { return static_cast<LRESULT>(w * 2); }
  void OnCommand42(WORD code, HWND) { commandCodes.push_back(code); }
  LRESULT OnNotify(NMHDR*) { return 1234; }
};

TEST(WindowPlumbing, DispatchesThroughTablesAndForgetsItsWindow) {
  ProbeWindow probe;
  HWND hwnd = probe.Create(0, L"probe", WS_OVERLAPPEDWINDOW, RECT{0, 0, 100, 100}, nullptr, nullptr,
                           GetModuleHandleW(nullptr));
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(probe.Hwnd(), hwnd);
  EXPECT_EQ(probe.creates, 1);
  EXPECT_EQ(SendMessageW(hwnd, WM_APP, 21, 0), 42);
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(42, 5), 0);
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(43, 6), 0);  // unlisted: default procedure
  EXPECT_EQ(probe.commandCodes, std::vector<WORD>{5});
  NMHDR header = {hwnd, 7, 99};
  EXPECT_EQ(SendMessageW(hwnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header)), 1234);
  header.code = 98;
  EXPECT_EQ(SendMessageW(hwnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header)), 0);
  // Unlisted messages reach the default procedure.
  SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed"));
  wchar_t text[16] = {};
  GetWindowTextW(hwnd, text, 16);
  EXPECT_STREQ(text, L"changed");

  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(probe.Hwnd(), nullptr);
  // A second window of the class reuses the registration.
  HWND again = probe.Create(0, L"again", WS_OVERLAPPEDWINDOW, RECT{0, 0, 50, 50}, nullptr, nullptr,
                            GetModuleHandleW(nullptr));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(probe.creates, 2);
  DestroyWindow(again);
}

// A full-screen dialog that records the commands that reach it; a script of posted messages
// plays against it from inside its own loop.
class ProbeDialog : public ui::Dialog<ProbeDialog> {
 public:
  static std::span<const ui::MessageEntry<ProbeDialog>> Messages() {
    static const ui::MessageEntry<ProbeDialog> table[] = {
        {WM_INITDIALOG, &ProbeDialog::OnInitDialog},
        {WM_COMMAND, &ProbeDialog::OnCommand},
        {WM_TIMER, &ProbeDialog::OnTimer},
    };
    return table;
  }
  struct Seen {
    WORD id;
    LPARAM lParam;
  };
  std::vector<Seen> commands;
  RECT rect = {};
  std::vector<UINT> script;  // messages the test sends once the dialog runs

 private:
  LRESULT OnInitDialog(WPARAM, LPARAM) {
    SHINITDLGINFO info = {SHIDIM_FLAGS, hwnd_,
                          SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    GetWindowRect(hwnd_, &rect);
    SetTimer(hwnd_, 1, 10, nullptr);
    return TRUE;
  }
  LRESULT OnTimer(WPARAM, LPARAM) {
    KillTimer(hwnd_, 1);
    for (UINT m : script) {
      if (m == WM_KEYDOWN) {
        // Escape through the dialog manager, as the message loop would deliver it.
        MSG msg = {GetDlgItem(hwnd_, 1001), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
        IsDialogMessageW(hwnd_, &msg);
      } else if (m == WM_SYSCOMMAND) {
        SendMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        SendMessageW(hwnd_, m, m == WM_COMMAND ? IDCANCEL : 0, 0);
      }
    }
    return TRUE;
  }
  LRESULT OnCommand(WPARAM w, LPARAM l) {
    if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) commands.push_back({LOWORD(w), l});
    if (LOWORD(w) == IDOK) EndDialog(hwnd_, 77);
    return TRUE;
  }
};

TEST(ShellDialog, FullScreenCloseBoxIsOkAndCancelClosesNothing) {
  struct Case {
    const char* name;
    std::vector<UINT> script;
  } cases[] = {
      {"close box", {WM_SYSCOMMAND}},
      {"WM_CLOSE", {WM_CLOSE}},
      {"escape and IDCANCEL first", {WM_KEYDOWN, WM_COMMAND, WM_CLOSE}},
  };
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  HMODULE self = GetModuleHandleW(nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProbeDialog dialog;
    dialog.script = c.script;
    EXPECT_EQ(dialog.Run(self, 100, nullptr), 77);
    EXPECT_EQ(dialog.Hwnd(), nullptr);
    ASSERT_EQ(dialog.commands.size(), 1u);  // cancels never reach the dialog
    EXPECT_EQ(dialog.commands[0].id, IDOK);
    EXPECT_EQ(dialog.commands[0].lParam, 0);
    EXPECT_EQ(dialog.rect.left, work.left);
    EXPECT_EQ(dialog.rect.top, work.top);
    EXPECT_EQ(dialog.rect.right, work.right);
    EXPECT_EQ(dialog.rect.bottom, work.bottom);
  }
}

TEST(ShellDialog, RejectsMissingFlagsAndWindows) {
  EXPECT_FALSE(SHInitDialog(nullptr));
  SHINITDLGINFO noMask = {0, GetDesktopWindow(), SHIDIF_DONEBUTTON};
  EXPECT_FALSE(SHInitDialog(&noMask));
  SHINITDLGINFO noWindow = {SHIDIM_FLAGS, nullptr, SHIDIF_DONEBUTTON};
  EXPECT_FALSE(SHInitDialog(&noWindow));
}

TEST(Coredll, RandomVariesAcrossCalls) {
  std::set<uint32_t> seen;
  for (int i = 0; i < 64; ++i) seen.insert(Random());
  EXPECT_GT(seen.size(), 60u);
  int residues[7] = {};
  for (int i = 0; i < 7000; ++i) ++residues[Random() % 7];
  for (int r : residues) EXPECT_GT(r, 800);  // every piece comes up
}

TEST(Coredll, GetProcAddressWByWideName) {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(GetProcAddressW(kernel, L"GetTickCount"), GetProcAddress(kernel, "GetTickCount"));
  EXPECT_EQ(GetProcAddressW(kernel, L"NoSuchExport"), nullptr);
  EXPECT_EQ(GetProcAddressW(kernel, L"GetTick\u00e7ount"), nullptr);
  EXPECT_EQ(GetProcAddressW(kernel, nullptr), nullptr);
  EXPECT_EQ(GetProcAddressW(nullptr, L"GetTickCount"), nullptr);
  std::wstring longName(400, L'A');
  EXPECT_EQ(GetProcAddressW(kernel, longName.c_str()), nullptr);
}

}  // namespace
