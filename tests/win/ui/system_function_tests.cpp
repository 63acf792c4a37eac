// Functions of system libraries found at first use: from the system folder only, and nothing
// (rather than a crash or a stand-in) when the library or the function is not there.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/win_support.h"
#include "ui/system_library.h"

namespace {

TEST(SystemFunctionTest, FindsSystemFunctionsAndNothingElse) {
  struct Case {
    const char* name;
    const wchar_t* library;
    const char* function;
    bool found;
  } cases[] = {
      {"a system function", L"winmm.dll", "PlaySoundW", true},
      {"the same name in other case", L"WINMM.DLL", "PlaySoundW", true},
      {"a function the library lacks", L"winmm.dll", "NoSuchFunction", false},
      {"a library the system lacks", L"no_such_library.dll", "PlaySoundW", false},
      // velcore.dll lies beside this program, which is where an ordinary load looks first.
      {"a library beside the program", L"velcore.dll", "ScoresBox", false},
      {"no library", L"", "PlaySoundW", false},
      {"no library name", nullptr, "PlaySoundW", false},
      {"no function name", L"winmm.dll", nullptr, false},
  };
  ASSERT_NE(GetFileAttributesW((test_support::BinFolder() + L"velcore.dll").c_str()),
            INVALID_FILE_ATTRIBUTES);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FARPROC found = ui::SystemFunction(c.library, c.function);
    EXPECT_EQ(found != nullptr, c.found);
    if (found) {
      // The very export the loader hands out, from the library in the system folder.
      wchar_t path[MAX_PATH] = {};
      HMODULE module = nullptr;
      ASSERT_TRUE(GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(found), &module));
      EXPECT_EQ(found, GetProcAddress(module, c.function));
      ASSERT_GT(GetModuleFileNameW(module, path, MAX_PATH), 0u);
      wchar_t system[MAX_PATH] = {};
      const UINT length = GetSystemDirectoryW(system, MAX_PATH);
      EXPECT_EQ(CompareStringOrdinal(path, static_cast<int>(length), system,
                                     static_cast<int>(length), TRUE),
                CSTR_EQUAL)
          << "loaded from elsewhere";
    }
  }
  EXPECT_EQ(GetModuleHandleW(L"velcore.dll"), nullptr);
}

TEST(SystemFunctionTest, LoadsTheLibraryOnlyWhenAsked) {
  // Nothing in this program uses the picture-capture library: only the question loads it.
  const wchar_t kLibrary[] = L"avicap32.dll";
  ASSERT_EQ(GetModuleHandleW(kLibrary), nullptr);
  const FARPROC first = ui::SystemFunction(kLibrary, "capGetDriverDescriptionW");
  ASSERT_NE(first, nullptr);
  EXPECT_NE(GetModuleHandleW(kLibrary), nullptr);
  EXPECT_EQ(ui::SystemFunction(kLibrary, "capGetDriverDescriptionW"), first);
}

}  // namespace
