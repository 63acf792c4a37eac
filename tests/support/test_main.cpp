// The entry point of every test program. On Windows a crash inside a window procedure would
// otherwise leave Wine waiting for a debugger until the test times out: end the process at once
// with a non-zero code instead.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

namespace {

LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* info) {
  // Little stack may be left (a stack overflow): no formatting, one write, then out.
  static const char kMessage[] = "\n*** test program crashed: unhandled exception ";
  DWORD written = 0;
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  WriteFile(err, kMessage, sizeof kMessage - 1, &written, nullptr);
  char code[12] = "0x00000000\n";
  DWORD value = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0;
  for (int i = 9; i >= 2; --i, value >>= 4) code[i] = "0123456789abcdef"[value & 0xF];
  WriteFile(err, code, 11, &written, nullptr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  SetUnhandledExceptionFilter(&EndOnCrash);
#endif
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
