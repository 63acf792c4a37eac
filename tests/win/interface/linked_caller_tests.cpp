// A caller that links velcore.dll through its import library (libvelcore.dll.a beside the DLL)
// and calls the exports by their declarations in velcore.h, with no lookup by name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/win_support.h"
#include "velcore/interface/velcore.h"

namespace {

constexpr wchar_t kKeysPath[] = L"Software\\Velmora\\TalvenorTests\\LinkedCaller\\Keys";

struct Reported {
  UINT message;
  WPARAM action;
  bool operator==(const Reported&) const = default;
};
std::vector<Reported> reported;

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYTARGET_DOWN || message == WM_KEYTARGET_UP) {
    reported.push_back({message, wParam});
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::wstring VersionString(const std::wstring& file, const wchar_t* name) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  if (size == 0) return L"<no version resource>";
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return L"<unreadable>";
  void* value = nullptr;
  UINT length = 0;
  const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(data.data(), key.c_str(), &value, &length) || length == 0) return L"";
  return static_cast<const wchar_t*>(value);
}

TEST(LinkedCaller, ExportsAnswerThroughTheImportLibrary) {
  // The DLL the loader bound is the one beside this program.
  HMODULE library = GetModuleHandleW(kVelcoreLibraryName);
  ASSERT_NE(library, nullptr);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(library, path, MAX_PATH);
  EXPECT_EQ(std::wstring(path), test_support::BinFolder() + kVelcoreLibraryName);

  const DWORD left = VK_LEFT;
  const DWORD id = 4;
  const std::wstring action = std::wstring(kKeysPath) + L"\\Left";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, action.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, L"Id", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&id), sizeof id);
  RegSetValueExW(key, L"Code", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&left), sizeof left);
  RegCloseKey(key);

  WNDCLASSW wc = {};
  wc.lpfnWndProc = &Procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TalvenorLinkedCaller";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"linked", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);

  EXPECT_EQ(UnregisterKeyTarget(0), 0);  // nothing registered yet
  const KeyTargetInfo info = {sizeof info, window, kKeysPath};
  EXPECT_EQ(RegisterKeyTarget(&info), 0);
  SendMessageW(window, WM_KEYDOWN, VK_LEFT, 1);
  SendMessageW(window, WM_KEYUP, VK_LEFT, static_cast<LPARAM>(0xC0000001));
  EXPECT_EQ(UnregisterKeyTarget(0), 0);
  SendMessageW(window, WM_KEYDOWN, VK_LEFT, 1);  // let go of: no longer reported
  EXPECT_EQ(reported, (std::vector<Reported>{{WM_KEYTARGET_DOWN, id}, {WM_KEYTARGET_UP, id}}));

  DestroyWindow(window);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Velmora\\TalvenorTests\\LinkedCaller");
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Velmora\\TalvenorTests\\LinkedCaller");
}

TEST(LinkedCaller, TheLibraryNamesItselfAndTheGameKeepsItsName) {
  const std::wstring bin = test_support::BinFolder();
  struct Case {
    const wchar_t* file;
    const wchar_t* product;
    const wchar_t* version;
    const wchar_t* description;
  } cases[] = {
      {L"velcore.dll", L"Velmora game services", L"1.0", L"Velmora game services library"},
      {L"Talvex.exe", L"Talvenor", L"1.2", L"Talvenor"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.file)));
    const std::wstring file = bin + c.file;
    EXPECT_EQ(VersionString(file, L"ProductName"), c.product);
    EXPECT_EQ(VersionString(file, L"ProductVersion"), c.version);
    EXPECT_EQ(VersionString(file, L"FileVersion"), c.version);
    EXPECT_EQ(VersionString(file, L"FileDescription"), c.description);
    EXPECT_EQ(VersionString(file, L"CompanyName"), L"Velmora");
  }
}

}  // namespace
