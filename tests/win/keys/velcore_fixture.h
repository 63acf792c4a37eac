#pragma once
// Shared pieces of the key tests: velcore.dll loaded by name as the game loads it, scratch
// registry keys, a window that records what reaches it, hot-key probes, real key input, and a
// way to make the registry miscount subkeys for the library.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/hardware_buttons.h"
#include "tests/support/registry_values.h"
#include "tests/support/win_support.h"
#include "velcore/interface/velcore.h"

// Every test starts and ends without these keys.
constexpr wchar_t kTestsRoot[] = L"Software\\Velmora\\TalvenorTests\\KeyTarget";
constexpr wchar_t kKeysPath[] = L"Software\\Velmora\\TalvenorTests\\KeyTarget\\Keys";
constexpr wchar_t kOtherKeysPath[] = L"Software\\Velmora\\TalvenorTests\\KeyTarget\\Other";
using test_support::kShellKeysPath;

// One action subkey; a missing code leaves the "Code" value out.
struct Action {
  std::wstring subkey;
  int32_t id;
  std::optional<int32_t> code;
  std::wstring name;
};
void WriteKeyMap(const wchar_t* path, const std::vector<Action>& actions);
using test_support::WriteValue;
std::optional<DWORD> ReadCode(const wchar_t* path, const std::wstring& subkey);

using test_support::ShellButton;
using test_support::WriteShellButtons;
void RemoveScratchKeys();

// A top-level window that records the messages of interest that reach its own procedure.
struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Seen&) const = default;
};
void PrintTo(const Seen& seen, std::ostream* out);

class RecorderWindow {
 public:
  RecorderWindow();
  ~RecorderWindow();
  HWND Hwnd() const { return hwnd_; }
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // What reached the window since the last call.
  std::vector<Seen> Take();
  void Destroy();

 private:
  HWND hwnd_ = nullptr;
  std::vector<Seen> seen_;
};

// True when the window holds Win+code as hot key with identifier code: the combination is
// taken while it holds it, and free once the window lets go of it. The hot key is put back.
bool HoldsButton(HWND window, UINT code);
using test_support::ButtonTaken;

// Real keyboard and mouse input, as the focused window receives it.
void SendKey(WORD vk, bool up);
void PressAndRelease(WORD vk);
void PressButton(WORD code, bool up);  // a hardware button: Win and the button's code
void ClickAt(POINT screen);
// Dispatches the thread's messages for a while.
inline void Pump(DWORD milliseconds = 60) {
  test_support::Pump(milliseconds);
}

// Makes the library's registry queries report `delta` more (or fewer) subkeys than there are.
class SubkeyMiscount {
 public:
  SubkeyMiscount(HMODULE library, int delta);
  bool Installed() const { return swap_.Installed(); }

 private:
  test_support::ImportSwap swap_;
};

// An export looked up by its plain name, as the game looks it up.
template <class F>
F Export(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The stand-in core library of the tests, built into a folder of its own.
std::wstring FakeCoredllFolder();
// A copy of it in the system folder, where the library looks for the core library; removed
// again (and unloaded) after each test.
bool PlaceFakeCoredll();
void RemoveFakeCoredll();
// The (modifiers, code) pairs passed to its UnregisterFunc1 since the last call.
std::vector<std::pair<UINT, UINT>> TakenFromShell();

// Loads velcore.dll fresh for each test, so that its process-wide state starts anew, and
// removes the scratch registry keys before and after.
class VelcoreTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void Load();
  void Unload();

  int Register(HWND target, const wchar_t* path);
  int Unregister();
  int KeySetupBox(HWND owner);

  HMODULE module_ = nullptr;
  RegisterKeyTargetFn registerKeyTarget_ = nullptr;
  UnregisterKeyTargetFn unregisterKeyTarget_ = nullptr;
  KeySetupBoxFn keySetupBox_ = nullptr;
};
