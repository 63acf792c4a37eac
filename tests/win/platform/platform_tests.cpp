// The window plumbing and the handheld stand-ins, exercised on real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "pocketpc/coredll.h"
#include "pocketpc/shell.h"
#include "tests/support/work_area.h"
#include "ui/subclass.h"
#include "ui/window.h"

namespace {

class ProbeWindow : public ui::Window<ProbeWindow> {
 public:
  static constexpr const wchar_t* kClassName = L"TalvenorProbeWindow";
  static std::span<const ui::MessageEntry<ProbeWindow>> Messages() {
    static const ui::MessageEntry<ProbeWindow> table[] = {
        {WM_CREATE, &ProbeWindow::OnCreate},
        {WM_APP, &ProbeWindow::OnApp},
        {WM_DESTROY, &ProbeWindow::OnDestroy},
        {WM_NCDESTROY, &ProbeWindow::OnNcDestroy},
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

  ProbeWindow() = default;
  ~ProbeWindow() { Write("deleted"); }

  int creates = 0;
  std::vector<WORD> commandCodes;
  std::vector<std::string>* log = nullptr;  // the window's end, when given
  bool deletesItself = false;
  LRESULT OnCreate(WPARAM, LPARAM) {
    ++creates;
    window_ = hwnd_;
    return 0;
  }
  LRESULT OnDestroy(WPARAM, LPARAM) {
    Write("WM_DESTROY");
    return 0;
  }
  LRESULT OnNcDestroy(WPARAM, LPARAM) {
    Write("WM_NCDESTROY");
    return 0;
  }
  // Runs once the window has let go of the object: nothing of the window leads back to it.
  void OnFinalMessage() {
    const bool detached = hwnd_ == nullptr && GetWindowLongPtrW(window_, GWLP_USERDATA) == 0;
    Write(detached ? "final, detached" : "final, still attached");
    if (deletesItself) delete this;
  }
  LRESULT OnApp(WPARAM w, LPARAM) { return static_cast<LRESULT>(w * 2); }
  void OnCommand42(WORD code, HWND) { commandCodes.push_back(code); }
  LRESULT OnNotify(NMHDR*) { return 1234; }

 private:
  void Write(const char* line) {
    if (log) log->push_back(line);
  }
  HWND window_ = nullptr;
};

TEST(WindowPlumbing, DispatchesThroughTablesAndForgetsItsWindow) {
  std::vector<std::string> log;
  ProbeWindow probe;
  probe.log = &log;
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

  const std::vector<std::string> ending = {"WM_DESTROY", "WM_NCDESTROY", "final, detached"};
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(probe.Hwnd(), nullptr);
  EXPECT_EQ(log, ending);
  // A second window of the class reuses the registration, and the object.
  log.clear();
  HWND again = probe.Create(0, L"again", WS_OVERLAPPEDWINDOW, RECT{0, 0, 50, 50}, nullptr, nullptr,
                            GetModuleHandleW(nullptr));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(probe.creates, 2);
  DestroyWindow(again);
  EXPECT_EQ(log, ending);
}

// A probe that deletes itself in its final-message hook, as a window-owned object does.
TEST(WindowPlumbing, AnObjectMayDeleteItselfInItsFinalMessageHook) {
  std::vector<std::string> log;
  auto* probe = new ProbeWindow;
  probe->log = &log;
  probe->deletesItself = true;
  HWND hwnd = probe->Create(0, L"owned", WS_OVERLAPPEDWINDOW, RECT{0, 0, 50, 50}, nullptr, nullptr,
                            GetModuleHandleW(nullptr));
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(log,
            (std::vector<std::string>{"WM_DESTROY", "WM_NCDESTROY", "final, detached", "deleted"}));
  EXPECT_FALSE(IsWindow(hwnd));
}

// A window procedure of its own, and subclasses over it, that write down what reaches them.
std::vector<UINT> ownSeen;
LRESULT CALLBACK OwnProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP || message == WM_DESTROY || message == WM_NCDESTROY) {
    ownSeen.push_back(message);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

template <int N>
struct Layer {
  static constexpr const wchar_t* kSubclassProperty =
      N == 0 ? L"TalvenorTestLower" : L"TalvenorTestUpper";
  static constexpr UINT kConsumed = WM_APP + N;
  std::vector<UINT> seen;
  LRESULT SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP || message == WM_DESTROY || message == WM_NCDESTROY) {
      seen.push_back(message);
    }
    if (message == kConsumed) return 70 + N;
    return ui::Subclass<Layer>::CallNext(hwnd, message, wParam, lParam);
  }
};
using Lower = Layer<0>;
using Upper = Layer<1>;

// Someone else's procedure, put over whatever the window has.
WNDPROC belowForeign = nullptr;
LRESULT CALLBACK ForeignProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(belowForeign, hwnd, message, wParam, lParam);
}

WNDPROC ProcedureOf(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

class SubclassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &OwnProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TalvenorSubclassProbe";
    RegisterClassW(&wc);  // fails harmlessly once registered
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr,
                            nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd_, nullptr);
    ownSeen.clear();
  }
  void TearDown() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }

  // What the message returned and which of the window's procedures saw it.
  struct Outcome {
    LRESULT result;
    bool lower;
    bool own;
    bool operator==(const Outcome&) const = default;
  };
  Outcome Send(UINT message) {
    lower_.seen.clear();
    ownSeen.clear();
    const LRESULT result = SendMessageW(hwnd_, message, 0, 0);
    return {result, lower_.seen == std::vector<UINT>{message},
            ownSeen == std::vector<UINT>{message}};
  }

  // What sits over the lower subclass.
  enum class Over { Nothing, Foreign, Subclass };
  bool InstallLowerUnder(Over over) {
    if (!ui::Subclass<Lower>::Install(hwnd_, &lower_)) return false;
    if (over == Over::Foreign) {
      belowForeign = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProcedure)));
    } else if (over == Over::Subclass) {
      return ui::Subclass<Upper>::Install(hwnd_, &upper_);
    }
    return true;
  }

  HWND hwnd_ = nullptr;
  Lower lower_;
  Upper upper_;
};

TEST_F(SubclassTest, ConsumesWhatItHandlesAndPassesTheRest) {
  ASSERT_TRUE(ui::Subclass<Lower>::Install(hwnd_, &lower_));
  EXPECT_NE(ProcedureOf(hwnd_), &OwnProcedure);
  EXPECT_EQ(Send(Lower::kConsumed), (Outcome{70, true, false}));
  EXPECT_EQ(Send(WM_APP + 5), (Outcome{0, true, true}));

  // Installed again (with another object): not twice over, or it would call itself.
  Lower again;
  ASSERT_TRUE(ui::Subclass<Lower>::Install(hwnd_, &again));
  EXPECT_EQ(Send(WM_APP + 5), (Outcome{0, false, true}));
  EXPECT_EQ(again.seen, std::vector<UINT>{WM_APP + 5});
  ASSERT_TRUE(ui::Subclass<Lower>::Install(hwnd_, &lower_));

  EXPECT_TRUE(ui::Subclass<Lower>::Remove(hwnd_));
  EXPECT_FALSE(ui::Subclass<Lower>::Installed(hwnd_));
  EXPECT_EQ(ProcedureOf(hwnd_), &OwnProcedure);
  EXPECT_EQ(Send(Lower::kConsumed), (Outcome{0, false, true}));
  EXPECT_TRUE(ui::Subclass<Lower>::Remove(hwnd_));  // nothing left to remove
}

TEST_F(SubclassTest, RefusesMissingAndForeignWindows) {
  HWND desktop = GetDesktopWindow();
  DWORD process = 0;
  GetWindowThreadProcessId(desktop, &process);
  ASSERT_NE(process, GetCurrentProcessId());
  const WNDPROC desktopProcedure = ProcedureOf(desktop);
  HWND gone = hwnd_;
  DestroyWindow(gone);
  for (HWND hwnd : {HWND{}, desktop, gone}) {
    EXPECT_FALSE(ui::Subclass<Lower>::Install(hwnd, &lower_));
  }
  EXPECT_EQ(ProcedureOf(desktop), desktopProcedure);
  EXPECT_FALSE(ui::Subclass<Lower>::Installed(desktop));
}

// Removal puts the window's own procedure back, unless another procedure sits over the
// subclass: then that one would be cut off, so the subclass stays and goes on working.
TEST_F(SubclassTest, RemovalIsRefusedUnderAnotherProcedure) {
  for (Over over : {Over::Nothing, Over::Foreign, Over::Subclass}) {
    SCOPED_TRACE(static_cast<int>(over));
    ASSERT_TRUE(InstallLowerUnder(over));
    const WNDPROC top = ProcedureOf(hwnd_);

    EXPECT_EQ(ui::Subclass<Lower>::Remove(hwnd_), over == Over::Nothing);
    if (over != Over::Nothing) {
      EXPECT_EQ(ProcedureOf(hwnd_), top);
      EXPECT_EQ(Send(Lower::kConsumed), (Outcome{70, true, false}));
      EXPECT_EQ(Send(WM_APP + 5), (Outcome{0, true, true}));
      if (over == Over::Foreign) {
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(belowForeign));
      } else {
        EXPECT_TRUE(ui::Subclass<Upper>::Remove(hwnd_));
      }
      EXPECT_TRUE(ui::Subclass<Lower>::Remove(hwnd_));
    }
    EXPECT_EQ(ProcedureOf(hwnd_), &OwnProcedure);
    EXPECT_EQ(Send(Lower::kConsumed), (Outcome{0, false, true}));
  }
}

// The subclass goes with its window; the window's own procedure sees its end, once.
TEST_F(SubclassTest, GoesWithTheWindow) {
  for (Over over : {Over::Nothing, Over::Foreign, Over::Subclass}) {
    SCOPED_TRACE(static_cast<int>(over));
    if (over != Over::Nothing) SetUp();
    lower_.seen.clear();
    upper_.seen.clear();
    ASSERT_TRUE(InstallLowerUnder(over));
    ownSeen.clear();
    ASSERT_TRUE(DestroyWindow(hwnd_));
    EXPECT_EQ(ownSeen, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_EQ(lower_.seen, std::vector<UINT>{WM_DESTROY});
    if (over == Over::Subclass) {
      EXPECT_EQ(upper_.seen, std::vector<UINT>{WM_DESTROY});
    }
  }
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
  test_support::WorkArea handheld(RECT{0, 0, 240, 320});
  ASSERT_TRUE(handheld.Set());
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
