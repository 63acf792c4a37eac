// The key target through velcore.dll's exports: a recording window registered as target with a
// key map written by the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/modal_driver.h"
#include "velcore_fixture.h"

namespace {

constexpr UINT kButton1 = 0xC1;
constexpr UINT kButton2 = 0xC2;
constexpr UINT kButton3 = 0xC3;

// Subkeys enumerate in name order; the Ids are deliberately not that order.
const std::vector<Action> kActions = {
    {L"1 Left", 0, VK_LEFT, L"Left"},
    {L"2 Right", 1, VK_RIGHT, L"Right"},
    {L"3 Turn", 2, VK_UP, L"Turn"},
    {L"4 Drop", 3, kButton1, L"Drop"},
    {L"5 Also left", 7, VK_LEFT, L"Also left"},
    {L"6 No code", 5, std::nullopt, L"No code"},
    {L"7 Unassigned", 6, 0, L"Unassigned"},
    {L"8 Record", 8, kButton3, L"Record"},
};

const std::vector<ShellButton> kShellButtons = {
    {L"40C1", L"Button 1"}, {L"40C2", L"Button 2"},  {L"40C3", L"Button 3"},
    {L"C4", L"Too short"},  {L"400C5", L"Too long"}, {L"40ZZ", L"Not hexadecimal"},
};

Seen Down(int32_t id) {
  return {WM_KEYTARGET_DOWN, static_cast<WPARAM>(id), 0};
}
Seen Up(int32_t id) {
  return {WM_KEYTARGET_UP, static_cast<WPARAM>(id), 0};
}

std::vector<Seen> Reported(RecorderWindow& window, UINT message, WPARAM wParam) {
  window.Take();
  SendMessageW(window.Hwnd(), message, wParam, 0);
  return window.Take();
}

// Someone else's subclass over the hook.
WNDPROC belowOver = nullptr;
int overCalls = 0;
LRESULT CALLBACK OverProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ++overCalls;
  return CallWindowProcW(belowOver, hwnd, message, wParam, lParam);
}

WNDPROC Procedure(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

// key_target_peer.exe: another program with a key target, started from the tests' folder.
class Peer {
 public:
  explicit Peer(const wchar_t* keysPath) {
    std::wstring commandLine = std::wstring(L"key_target_peer.exe ") + keysPath;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    const std::wstring folder = test_support::BinFolder();
    if (!CreateProcessW((folder + L"key_target_peer.exe").c_str(), commandLine.data(), nullptr,
                        nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process_)) {
      ADD_FAILURE() << "key_target_peer.exe did not start";
      return;
    }
    test_support::PumpUntil(10000, [&] {
      window_ = test_support::FindVisibleWindow(kPeerClass, process_.dwProcessId);
      return window_ != nullptr;
    });
  }
  ~Peer() {
    if (!process_.hProcess) return;
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "key_target_peer.exe did not end";
      TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  HWND Window() const { return window_; }
  bool Holds(UINT code) const {
    DWORD_PTR held = 0;
    return SendMessageTimeoutW(window_, kHoldsButton, code, 0, SMTO_ABORTIFHUNG, 1000, &held) &&
           held == 1;
  }

 private:
  static constexpr wchar_t kPeerClass[] = L"TalvenorKeyTargetPeer";
  static constexpr UINT kHoldsButton = WM_APP + 1;
  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
};

class KeyTargetTest : public VelcoreTest {};

TEST_F(KeyTargetTest, ExportsByNameAndUnregisterWithoutRegistration) {
  for (const char* name : {"RegisterKeyTarget", "UnregisterKeyTarget", "KeySetupBox"}) {
    EXPECT_NE(GetProcAddress(module_, name), nullptr) << name;
  }
  RecorderWindow window;
  EXPECT_EQ(Unregister(), 0);
  EXPECT_EQ(Procedure(window.Hwnd()), &RecorderWindow::Procedure);
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), (std::vector<Seen>{{WM_KEYDOWN, VK_LEFT, 0}}));
}

TEST_F(KeyTargetTest, KeyMessagesBecomeActionMessages) {
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow window;
  ASSERT_EQ(Register(window.Hwnd(), kKeysPath), 0);
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::vector<Seen> expected;
  } cases[] = {
      {"key down", WM_KEYDOWN, VK_RIGHT, 0x00010001, {Down(1)}},
      {"auto-repeat", WM_KEYDOWN, VK_RIGHT, 0x40010001, {Down(1)}},
      {"key up", WM_KEYUP, VK_RIGHT, static_cast<LPARAM>(0xC0010001), {Up(1)}},
      {"hot key", WM_HOTKEY, kButton1, MAKELPARAM(MOD_WIN, kButton1), {Down(3)}},
      {"hot key's release", WM_KEYUP, kButton1, static_cast<LPARAM>(0xC0010001), {Up(3)}},
      {"first of two actions with one code", WM_KEYDOWN, VK_LEFT, 0x00010001, {Down(0)}},
      {"its release", WM_KEYUP, VK_LEFT, static_cast<LPARAM>(0xC0010001), {Up(0)}},
      {"unassigned key down", WM_KEYDOWN, 'A', 0x00010001, {}},
      {"unassigned key up", WM_KEYUP, 'A', static_cast<LPARAM>(0xC0010001), {}},
      {"unassigned hot key", WM_HOTKEY, kButton2, MAKELPARAM(MOD_WIN, kButton2), {}},
      {"code 0 is no key", WM_KEYDOWN, 0, 0, {}},
      {"a missing code is no key", WM_KEYDOWN, 0xFFFFFFFF, 0, {}},
      {"nor is -1", WM_KEYUP, static_cast<WPARAM>(-1), 0, {}},
      {"other messages pass", WM_APP, 5, 6, {{WM_APP, 5, 6}}},
      {"and so do the action messages", WM_KEYTARGET_DOWN, 9, 0, {Down(9)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window.Take();
    const LRESULT result = SendMessageW(window.Hwnd(), c.message, c.wParam, c.lParam);
    EXPECT_EQ(window.Take(), c.expected);
    if (c.message != WM_APP) {
      EXPECT_EQ(result, 0);
    }
  }
  EXPECT_EQ(Unregister(), 0);
}

TEST_F(KeyTargetTest, RealKeyboardInputWithAutoRepeat) {
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow window;
  ASSERT_EQ(GetFocus(), window.Hwnd());
  ASSERT_EQ(Register(window.Hwnd(), kKeysPath), 0);
  SendKey(VK_UP, false);
  SendKey(VK_UP, false);
  SendKey(VK_UP, false);
  SendKey(VK_UP, true);
  PressAndRelease('Q');
  Pump();
  EXPECT_EQ(window.Take(), (std::vector<Seen>{Down(2), Down(2), Down(2), Up(2)}));
  Unregister();
}

TEST_F(KeyTargetTest, NullPathLoadsNothingAndKeepsTheLastMap) {
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow window;
  const std::vector<Seen> none;
  const std::vector<Seen> left = {Down(0)};

  Register(window.Hwnd(), nullptr);
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), none);
  Unregister();
  Register(window.Hwnd(), kKeysPath);
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), left);
  Unregister();
  Register(window.Hwnd(), nullptr);
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), left);
  Unregister();
  Register(window.Hwnd(), L"Software\\Velmora\\TalvenorTests\\KeyTarget\\Missing");
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), left);
  Unregister();
}

TEST_F(KeyTargetTest, EmptyPathIsNoPath) {
  // With the user's tree pointed at a key map, an empty path that opened the root would find it.
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow window;
  const auto registerAtRoot = [&] {
    test_support::RootOverride root(kKeysPath);
    ASSERT_TRUE(root.Active());
    Register(window.Hwnd(), L"");
  };
  registerAtRoot();
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), std::vector<Seen>{});
  Unregister();
  Register(window.Hwnd(), kKeysPath);
  Unregister();
  registerAtRoot();
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), std::vector<Seen>{Down(0)});
  Unregister();
}

TEST_F(KeyTargetTest, MappedShellButtonsAreHotKeysWhileTheWindowIsActive) {
  WriteShellButtons(kShellButtons);
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow window;
  HWND hwnd = window.Hwnd();
  ASSERT_EQ(Register(hwnd, kKeysPath), 0);

  // Only 40C1 and 40C3 name codes that an action has; arrows are never hot keys.
  EXPECT_TRUE(HoldsButton(hwnd, kButton1));
  EXPECT_TRUE(HoldsButton(hwnd, kButton3));
  EXPECT_FALSE(ButtonTaken(kButton2));
  EXPECT_FALSE(ButtonTaken(VK_LEFT));
  EXPECT_FALSE(ButtonTaken(0xC4));
  EXPECT_FALSE(ButtonTaken(0xC5));

  struct Case {
    WORD state;
    bool grabbed;
  } cases[] = {
      {WA_INACTIVE, false}, {WA_CLICKACTIVE, true}, {WA_INACTIVE, false}, {WA_ACTIVE, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    window.Take();
    SendMessageW(hwnd, WM_ACTIVATE, MAKEWPARAM(c.state, 0), 0);
    EXPECT_EQ(window.Take(), (std::vector<Seen>{{WM_ACTIVATE, c.state, 0}}));
    EXPECT_EQ(HoldsButton(hwnd, kButton1), c.grabbed);
    EXPECT_EQ(HoldsButton(hwnd, kButton3), c.grabbed);
    EXPECT_FALSE(ButtonTaken(kButton2));
  }

  // The system's own hot key, pressed for real: its release comes as the button's key-up.
  window.Take();
  PressButton(kButton1, false);
  PressButton(kButton1, true);
  Pump();
  EXPECT_EQ(window.Take(), (std::vector<Seen>{Down(3), Up(3)}));

  EXPECT_EQ(Unregister(), 0);
  EXPECT_FALSE(ButtonTaken(kButton1));
  EXPECT_FALSE(ButtonTaken(kButton3));
}

TEST_F(KeyTargetTest, CoreLibraryComesFromTheSystemFolderAndIsLookedUpOnce) {
  using Taken = std::vector<std::pair<UINT, UINT>>;
  WriteShellButtons(kShellButtons);
  WriteKeyMap(kKeysPath, kActions);
  {
    RecorderWindow window;
    ASSERT_EQ(GetModuleHandleW(L"coredll.dll"), nullptr);
    // Where a search by bare name would find it, but not in the system folder: someone else's.
    SetDllDirectoryW(FakeCoredllFolder().c_str());
    Register(window.Hwnd(), kKeysPath);
    SendMessageW(window.Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    SetDllDirectoryW(nullptr);
    EXPECT_EQ(GetModuleHandleW(L"coredll.dll"), nullptr);
    EXPECT_TRUE(HoldsButton(window.Hwnd(), kButton1));  // no core library: hot keys all the same

    // In the system folder only after the first look: not looked for again.
    ASSERT_TRUE(PlaceFakeCoredll());
    SendMessageW(window.Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetModuleHandleW(L"coredll.dll"), nullptr);
    Unregister();
  }
  // A library loaded afresh finds it there and takes the buttons from the shell with it.
  Unload();
  Load();
  RecorderWindow window;
  Register(window.Hwnd(), kKeysPath);
  EXPECT_EQ(TakenFromShell(), (Taken{{MOD_WIN, kButton1}, {MOD_WIN, kButton3}}));
  SendMessageW(window.Hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(TakenFromShell(), Taken{});
  Unregister();
}

TEST_F(KeyTargetTest, UnregisteringRestoresTheWindowProcedure) {
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow window;
  HWND hwnd = window.Hwnd();
  Register(hwnd, kKeysPath);
  EXPECT_NE(Procedure(hwnd), &RecorderWindow::Procedure);
  Unregister();
  EXPECT_EQ(Procedure(hwnd), &RecorderWindow::Procedure);
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), (std::vector<Seen>{{WM_KEYDOWN, VK_LEFT, 0}}));
  EXPECT_EQ(Unregister(), 0);

  // Registered twice: the hook must not end up calling itself.
  Register(hwnd, kKeysPath);
  Register(hwnd, kKeysPath);
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), (std::vector<Seen>{Down(0)}));
  Unregister();
  EXPECT_EQ(Procedure(hwnd), &RecorderWindow::Procedure);
}

TEST_F(KeyTargetTest, RegisteringAnotherWindowLetsGoOfTheFirst) {
  WriteShellButtons(kShellButtons);
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow first;
  RecorderWindow second;
  SetForegroundWindow(first.Hwnd());
  Pump(30);
  Register(first.Hwnd(), kKeysPath);
  ASSERT_TRUE(HoldsButton(first.Hwnd(), kButton1));
  SetForegroundWindow(second.Hwnd());
  Pump(30);
  Register(second.Hwnd(), kKeysPath);
  EXPECT_EQ(Procedure(first.Hwnd()), &RecorderWindow::Procedure);
  EXPECT_TRUE(HoldsButton(second.Hwnd(), kButton1));
  EXPECT_EQ(Reported(first, WM_KEYDOWN, VK_LEFT), (std::vector<Seen>{{WM_KEYDOWN, VK_LEFT, 0}}));
  EXPECT_EQ(Reported(second, WM_KEYDOWN, VK_LEFT), (std::vector<Seen>{Down(0)}));
  Unregister();
  EXPECT_EQ(Procedure(second.Hwnd()), &RecorderWindow::Procedure);
}

TEST_F(KeyTargetTest, AProcedureInstalledOverTheHookIsLeftAlone) {
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow window;
  HWND hwnd = window.Hwnd();
  Register(hwnd, kKeysPath);
  belowOver = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OverProcedure)));
  overCalls = 0;

  EXPECT_EQ(Unregister(), 0);
  EXPECT_EQ(Procedure(hwnd), &OverProcedure);
  // Still registered: keys are still translated beneath the other procedure.
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_RIGHT), (std::vector<Seen>{Down(1)}));
  EXPECT_GT(overCalls, 0);

  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(belowOver));
  Unregister();
  EXPECT_EQ(Procedure(hwnd), &RecorderWindow::Procedure);
}

TEST_F(KeyTargetTest, DestroyedTargetIsForgotten) {
  WriteKeyMap(kKeysPath, kActions);
  const std::vector<Seen> destroyed = {{WM_DESTROY, 0, 0}, {WM_NCDESTROY, 0, 0}};
  auto ending = [](RecorderWindow& window) {
    std::vector<Seen> seen = window.Take();
    std::erase_if(seen, [](const Seen& s) { return s.message == WM_ACTIVATE; });
    return seen;
  };
  {
    RecorderWindow window;
    Register(window.Hwnd(), kKeysPath);
    window.Take();
    window.Destroy();
    EXPECT_EQ(ending(window), destroyed);
  }
  EXPECT_EQ(Unregister(), 0);
  {
    // With someone else's procedure over the hook, the window's own still sees its end.
    RecorderWindow window;
    Register(window.Hwnd(), kKeysPath);
    belowOver = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window.Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OverProcedure)));
    window.Take();
    window.Destroy();
    EXPECT_EQ(ending(window), destroyed);
  }
  RecorderWindow next;
  Register(next.Hwnd(), kKeysPath);
  EXPECT_EQ(Reported(next, WM_KEYUP, VK_UP), (std::vector<Seen>{Up(2)}));
  Unregister();
  EXPECT_EQ(Procedure(next.Hwnd()), &RecorderWindow::Procedure);
}

TEST_F(KeyTargetTest, UnloadingTheLibraryUnhooksAndReleases) {
  WriteShellButtons(kShellButtons);
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow window;
  Register(window.Hwnd(), kKeysPath);
  ASSERT_TRUE(ButtonTaken(kButton1));
  Unload();
  EXPECT_EQ(Procedure(window.Hwnd()), &RecorderWindow::Procedure);
  EXPECT_FALSE(ButtonTaken(kButton1));
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), (std::vector<Seen>{{WM_KEYDOWN, VK_LEFT, 0}}));
}

TEST_F(KeyTargetTest, ForeignOrMissingWindowStillLoadsTheMap) {
  WriteShellButtons(kShellButtons);
  WriteKeyMap(kKeysPath, kActions);
  WriteKeyMap(kOtherKeysPath, {{L"Only", 40, VK_LEFT, L"Only"}, {L"Rec", 41, kButton3, L"Rec"}});
  HWND desktop = GetDesktopWindow();
  EXPECT_EQ(Register(desktop, kKeysPath), 0);
  EXPECT_EQ(Unregister(), 0);
  EXPECT_EQ(Register(nullptr, kOtherKeysPath), 0);
  // No window: no hot keys for the thread either.
  EXPECT_FALSE(ButtonTaken(kButton3));
  EXPECT_EQ(Unregister(), 0);

  RecorderWindow window;
  Register(window.Hwnd(), nullptr);
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_LEFT), (std::vector<Seen>{Down(40)}));
  Unregister();
}

TEST_F(KeyTargetTest, BadValuesLeaveTheirDefaults) {
  const std::wstring probe = std::wstring(kKeysPath) + L"\\Probe";
  const DWORD code = 'P';
  const BYTE twoBytes[] = {5, 0};
  const BYTE fourBytes[] = {9, 0, 0, 0};
  const ULONGLONG eight = 9;
  const wchar_t text[] = L"12";
  struct Case {
    const char* name;
    DWORD type;
    const void* data;
    DWORD size;
    int32_t id;  // as reported
  } cases[] = {
      {"text", REG_SZ, text, sizeof text, -1},
      {"two bytes", REG_BINARY, twoBytes, sizeof twoBytes, -1},
      {"eight bytes", REG_QWORD, &eight, sizeof eight, -1},
      {"four bytes of another type", REG_BINARY, fourBytes, sizeof fourBytes, 9},
  };
  RecorderWindow window;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveScratchKeys();
    WriteValue(HKEY_CURRENT_USER, probe, L"Id", c.type, c.data, c.size);
    WriteValue(HKEY_CURRENT_USER, probe, L"Code", REG_DWORD, &code, sizeof code);
    Register(window.Hwnd(), kKeysPath);
    EXPECT_EQ(Reported(window, WM_KEYDOWN, code), (std::vector<Seen>{Down(c.id)}));
    Unregister();
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveScratchKeys();
    const DWORD id = 4;
    WriteValue(HKEY_CURRENT_USER, probe, L"Id", REG_DWORD, &id, sizeof id);
    WriteValue(HKEY_CURRENT_USER, probe, L"Code", c.type, c.data, c.size);
    Register(window.Hwnd(), kKeysPath);
    // A code that is not read is no key; one that is, is reported.
    EXPECT_EQ(Reported(window, WM_KEYDOWN, static_cast<WPARAM>(c.id)),
              (c.id < 0 ? std::vector<Seen>{} : std::vector<Seen>{Down(4)}));
    EXPECT_EQ(Reported(window, WM_KEYDOWN, 0xFFFF0005), std::vector<Seen>{});
    Unregister();
  }
}

TEST_F(KeyTargetTest, OverlongSubkeyNamesAreSkipped) {
  // Wine accepts a key name of 256 characters, one more than the library reads.
  const std::wstring overlong(256, L'k');
  WriteShellButtons({{L"40C1", L"Button 1"}, {overlong, L"Overlong"}, {L"40C3", L"Button 3"}});
  WriteKeyMap(kKeysPath, {{L"1 Left", 0, VK_LEFT, L"Left"},
                          {overlong, 9, 'K', L"Overlong"},
                          {L"z Drop", 3, kButton3, L"Drop"}});
  RecorderWindow window;
  Register(window.Hwnd(), kKeysPath);
  EXPECT_EQ(Reported(window, WM_KEYDOWN, 'K'), std::vector<Seen>{});
  // The subkeys after the overlong one are still read.
  EXPECT_EQ(Reported(window, WM_HOTKEY, kButton3), (std::vector<Seen>{Down(3)}));
  EXPECT_TRUE(HoldsButton(window.Hwnd(), kButton3));
  Unregister();
}

TEST_F(KeyTargetTest, SubkeyCountsThatDisagreeWithTheKeys) {
  WriteShellButtons(kShellButtons);
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow window;
  {
    // Fewer counted than there are: no more are read than were counted.
    SubkeyMiscount miscount(module_, -6);
    ASSERT_TRUE(miscount.Installed());
    Register(window.Hwnd(), kKeysPath);
  }
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_RIGHT), (std::vector<Seen>{Down(1)}));
  EXPECT_EQ(Reported(window, WM_KEYDOWN, VK_UP), std::vector<Seen>{});
  Unregister();

  Unload();
  Load();
  {
    // More counted than there are: the ones there are.
    SubkeyMiscount miscount(module_, 5);
    Register(window.Hwnd(), kKeysPath);
  }
  EXPECT_EQ(Reported(window, WM_HOTKEY, kButton3), (std::vector<Seen>{Down(8)}));
  EXPECT_TRUE(HoldsButton(window.Hwnd(), kButton3));
  Unregister();
}

// Buttons belong to the program in front: a target behind another window takes none, also not
// when it registers or after the key setup dialog, and one of its own windows in front counts.
TEST_F(KeyTargetTest, ButtonsOnlyForTheWindowInFront) {
  WriteShellButtons(kShellButtons);
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow target;
  RecorderWindow other;
  HWND owned = CreateWindowExW(0, L"STATIC", L"owned", WS_POPUP | WS_VISIBLE, 30, 30, 80, 60,
                               target.Hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(owned, nullptr);
  const auto bringToFront = [](HWND window) {
    SetForegroundWindow(window);
    Pump(60);
    ASSERT_EQ(GetForegroundWindow(), window);
  };
  const auto setupKeys = [&](HWND owner) {
    test_support::ModalDriver script({[](HWND d) { test_support::CloseWithOk(d); }});
    EXPECT_EQ(script.Run([&] { return KeySetupBox(owner); }), 0);
    Pump(60);
  };
  bringToFront(other.Hwnd());
  Register(target.Hwnd(), kKeysPath);
  struct Step {
    const char* name;
    std::function<void()> act;
    bool held;
  } steps[] = {
      {"registered behind another window", [] {}, false},
      {"activated", [&] { bringToFront(target.Hwnd()); }, true},
      {"another window in front", [&] { bringToFront(other.Hwnd()); }, false},
      {"after key setup over another window", [&] { setupKeys(other.Hwnd()); }, false},
      {"a window it owns in front", [&] { bringToFront(owned); }, false},
      {"after key setup over a window it owns", [&] { setupKeys(owned); }, true},
      {"activated again", [&] { bringToFront(target.Hwnd()); }, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    EXPECT_EQ(HoldsButton(target.Hwnd(), kButton1), step.held);
    EXPECT_EQ(ButtonTaken(kButton1), step.held);
    EXPECT_EQ(ButtonTaken(kButton3), step.held);
  }
  Unregister();
  DestroyWindow(owned);
}

// A button someone else holds when the target comes to the front is tried again until it is
// free, for a bounded time, on a timer the window itself never sees.
TEST_F(KeyTargetTest, AButtonHeldElsewhereIsTriedAgainForAWhile) {
  WriteShellButtons(kShellButtons);
  WriteKeyMap(kKeysPath, kActions);
  RecorderWindow target;
  HWND elsewhere = CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP, 0, 0, 1, 1, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(RegisterHotKey(elsewhere, 1, MOD_WIN, kButton1));
  Register(target.Hwnd(), kKeysPath);
  EXPECT_TRUE(HoldsButton(target.Hwnd(), kButton3));  // the free one at once
  EXPECT_FALSE(HoldsButton(target.Hwnd(), kButton1));
  Pump(300);
  UnregisterHotKey(elsewhere, 1);
  EXPECT_TRUE(test_support::PumpUntil(1000, [&] { return HoldsButton(target.Hwnd(), kButton1); }));

  // Held elsewhere for longer than the retries last: the target gives up.
  SendMessageW(target.Hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  ASSERT_TRUE(RegisterHotKey(elsewhere, 1, MOD_WIN, kButton1));
  SendMessageW(target.Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  Pump(2500);
  UnregisterHotKey(elsewhere, 1);
  Pump(300);
  EXPECT_FALSE(ButtonTaken(kButton1));
  const std::vector<Seen> seen = target.Take();
  EXPECT_EQ(
      std::count_if(seen.begin(), seen.end(), [](const Seen& s) { return s.message == WM_TIMER; }),
      0);
  Unregister();
  DestroyWindow(elsewhere);
}

// Two programs that map the same button, brought to the front in turn by a third: each lets go
// when its deactivation reaches it and takes the button when its activation does, in two
// processes and in no fixed order. The one in front must end up holding it every time.
TEST_F(KeyTargetTest, TheProgramInFrontHoldsTheButtonBothMap) {
  WriteShellButtons({{L"40C1", L"Button 1"}});
  WriteKeyMap(kKeysPath, {{L"Drop", 3, kButton1, L"Drop"}});
  Peer first(kKeysPath);
  Peer second(kKeysPath);
  ASSERT_TRUE(first.Window() && second.Window());
  // A turn starts when its program really is in front. The turns start when the last program
  // started has settled in front with the button.
  ASSERT_TRUE(test_support::BringToFront(second.Window()));
  ASSERT_TRUE(test_support::PumpUntil(3000, [&] { return second.Holds(kButton1); }));
  std::vector<std::string> missed;
  for (int turn = 0; turn < 20; ++turn) {
    Peer& front = turn % 2 == 0 ? first : second;
    Peer& back = turn % 2 == 0 ? second : first;
    ASSERT_TRUE(test_support::BringToFront(front.Window())) << "turn " << turn;
    // Wine's late focus events can still take the front away for a moment; a turn is judged
    // while its program is in front, so it is brought back when that happens.
    if (!test_support::PumpUntil(2000, [&] {
          if (GetForegroundWindow() != front.Window()) {
            SetForegroundWindow(front.Window());
            return false;
          }
          return front.Holds(kButton1) && !back.Holds(kButton1);
        })) {
      missed.push_back("turn " + std::to_string(turn) +
                       (back.Holds(kButton1) ? ": the other holds it" : ": nobody holds it") +
                       (GetForegroundWindow() == front.Window() ? "" : ", not in front"));
    }
  }
  EXPECT_EQ(missed, std::vector<std::string>{})
      << "turns in which the program in front had no button";
}

}  // namespace
