#include "velcore_fixture.h"

#include <algorithm>

namespace {

constexpr wchar_t kRecorderClass[] = L"TalvenorKeyRecorder";

bool Recorded(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_HOTKEY:
    case WM_ACTIVATE:
    case WM_APP:
    case WM_TIMER:
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_KEYTARGET_DOWN:
    case WM_KEYTARGET_UP:
      return true;
  }
  return false;
}

using RegQueryInfoKeyFn = LSTATUS(WINAPI*)(HKEY, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD,
                                           LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, PFILETIME);
RegQueryInfoKeyFn realQueryInfoKey = nullptr;
int subkeyDelta = 0;

LSTATUS WINAPI MiscountingQueryInfoKey(HKEY key, LPWSTR cls, LPDWORD clsLength, LPDWORD reserved,
                                       LPDWORD subKeys, LPDWORD maxSubKeyLength,
                                       LPDWORD maxClassLength, LPDWORD values,
                                       LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                                       LPDWORD securityDescriptor, PFILETIME lastWrite) {
  const LSTATUS status =
      realQueryInfoKey(key, cls, clsLength, reserved, subKeys, maxSubKeyLength, maxClassLength,
                       values, maxValueNameLength, maxValueLength, securityDescriptor, lastWrite);
  if (status == ERROR_SUCCESS && subKeys) {
    *subKeys = static_cast<DWORD>(std::max(0, static_cast<int>(*subKeys) + subkeyDelta));
  }
  return status;
}

}  // namespace

void WriteKeyMap(const wchar_t* path, const std::vector<Action>& actions) {
  for (const Action& a : actions) {
    const std::wstring subkey = std::wstring(path) + L"\\" + a.subkey;
    const DWORD id = static_cast<DWORD>(a.id);
    WriteValue(HKEY_CURRENT_USER, subkey, L"Id", REG_DWORD, &id, sizeof id);
    if (a.code) {
      const DWORD code = static_cast<DWORD>(*a.code);
      WriteValue(HKEY_CURRENT_USER, subkey, L"Code", REG_DWORD, &code, sizeof code);
    }
    WriteValue(HKEY_CURRENT_USER, subkey, L"Name", REG_SZ, a.name.c_str(),
               static_cast<DWORD>((a.name.size() + 1) * sizeof(wchar_t)));
  }
}

std::optional<DWORD> ReadCode(const wchar_t* path, const std::wstring& subkey) {
  const auto value =
      test_support::ReadValue(HKEY_CURRENT_USER, std::wstring(path) + L"\\" + subkey, L"Code");
  if (!value || value->type != REG_DWORD) return std::nullopt;
  return test_support::DwordOf(*value);
}

// Parents of the scratch keys go only when the tests left them empty.
void RemoveScratchKeys() {
  using test_support::DeleteIfEmpty;
  RegDeleteTreeW(HKEY_CURRENT_USER, kTestsRoot);
  RegDeleteKeyW(HKEY_CURRENT_USER, kTestsRoot);
  DeleteIfEmpty(HKEY_CURRENT_USER, L"Software\\Velmora\\TalvenorTests");
  DeleteIfEmpty(HKEY_CURRENT_USER, L"Software\\Velmora");
  test_support::RemoveShellButtons();
}

void PrintTo(const Seen& seen, std::ostream* out) {
  *out << "{0x" << std::hex << seen.message << ", 0x" << seen.wParam << ", 0x" << seen.lParam
       << std::dec << "}";
}

RecorderWindow::RecorderWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &RecorderWindow::Procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kRecorderClass;
  RegisterClassW(&wc);
  hwnd_ = CreateWindowExW(0, kRecorderClass, L"recorder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                          200, 150, nullptr, nullptr, wc.hInstance, this);
  EXPECT_NE(hwnd_, nullptr);
  SetForegroundWindow(hwnd_);
  SetFocus(hwnd_);
  Pump(30);
  seen_.clear();
}

RecorderWindow::~RecorderWindow() {
  Destroy();
}

void RecorderWindow::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

std::vector<Seen> RecorderWindow::Take() {
  std::vector<Seen> taken;
  taken.swap(seen_);
  return taken;
}

LRESULT CALLBACK RecorderWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<RecorderWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && Recorded(message)) self->seen_.push_back({message, wParam, lParam});
  if (message == WM_NCDESTROY && self) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (self->hwnd_ == hwnd) self->hwnd_ = nullptr;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool HoldsButton(HWND window, UINT code) {
  if (!ButtonTaken(code)) return false;
  if (!UnregisterHotKey(window, static_cast<int>(code))) return false;
  const bool freed = !ButtonTaken(code);
  RegisterHotKey(window, static_cast<int>(code), MOD_WIN, code);
  return freed;
}

void SendKey(WORD vk, bool up) {
  EXPECT_TRUE(test_support::SendKey(vk, up));
}

void PressAndRelease(WORD vk) {
  SendKey(vk, false);
  SendKey(vk, true);
}

void PressButton(WORD code, bool up) {
  EXPECT_TRUE(test_support::PressHardwareButton(code, up));
}

void ClickAt(POINT screen) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, width - 1);
    input.mi.dy = MulDiv(screen.y, 65535, height - 1);
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  EXPECT_EQ(SendInput(3, inputs, sizeof(INPUT)), 3u);
}

SubkeyMiscount::SubkeyMiscount(HMODULE library, int delta)
    : swap_(library, "RegQueryInfoKeyW", reinterpret_cast<void*>(&MiscountingQueryInfoKey)) {
  realQueryInfoKey = reinterpret_cast<RegQueryInfoKeyFn>(swap_.Original());
  subkeyDelta = delta;
}

std::wstring FakeCoredllFolder() {
  return test_support::BinFolder() + L"fake_coredll";
}

namespace {
std::wstring SystemCoredll() {
  wchar_t folder[MAX_PATH] = {};
  GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\coredll.dll";
}
}  // namespace

bool PlaceFakeCoredll() {
  return CopyFileW((FakeCoredllFolder() + L"\\coredll.dll").c_str(), SystemCoredll().c_str(),
                   FALSE) != 0;
}

void RemoveFakeCoredll() {
  // The library never frees its references; the process's own references go here.
  for (int i = 0; i < 1000; ++i) {
    HMODULE core = GetModuleHandleW(L"coredll.dll");
    if (!core) break;
    FreeLibrary(core);
  }
  DeleteFileW(SystemCoredll().c_str());
}

std::vector<std::pair<UINT, UINT>> TakenFromShell() {
  std::vector<std::pair<UINT, UINT>> taken;
  HMODULE core = GetModuleHandleW(L"coredll.dll");
  if (!core) return taken;
  using TakeFn = int(WINAPI*)(UINT(*)[2], int);
  auto take = Export<TakeFn>(core, "TakeUnregisterCalls");
  if (!take) return taken;
  UINT calls[64][2];
  const int count = std::min(take(calls, 64), 64);
  for (int i = 0; i < count; ++i) taken.emplace_back(calls[i][0], calls[i][1]);
  return taken;
}

void VelcoreTest::SetUp() {
  RemoveScratchKeys();
  Load();
}

void VelcoreTest::TearDown() {
  Unload();
  RemoveFakeCoredll();
  RemoveScratchKeys();
}

void VelcoreTest::Load() {
  module_ = LoadLibraryW(kVelcoreLibraryName);
  ASSERT_NE(module_, nullptr);
  registerKeyTarget_ = Export<RegisterKeyTargetFn>(module_, "RegisterKeyTarget");
  unregisterKeyTarget_ = Export<UnregisterKeyTargetFn>(module_, "UnregisterKeyTarget");
  keySetupBox_ = Export<KeySetupBoxFn>(module_, "KeySetupBox");
  ASSERT_NE(registerKeyTarget_, nullptr);
  ASSERT_NE(unregisterKeyTarget_, nullptr);
  ASSERT_NE(keySetupBox_, nullptr);
}

void VelcoreTest::Unload() {
  if (!module_) return;
  FreeLibrary(module_);
  module_ = nullptr;
  // The next test must start from a fresh process-wide state.
  EXPECT_EQ(GetModuleHandleW(kVelcoreLibraryName), nullptr);
}

int VelcoreTest::Register(HWND target, const wchar_t* path) {
  const KeyTargetInfo info = {sizeof info, target, path};
  return registerKeyTarget_(&info);
}

int VelcoreTest::Unregister() {
  return unregisterKeyTarget_(0);
}

int VelcoreTest::KeySetupBox(HWND owner) {
  return keySetupBox_(owner);
}
