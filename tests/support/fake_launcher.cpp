// Stands in for the handheld's browser and mail programs: records the command line it was started
// with in "<its own path>.log" and ends. The log appears whole or not at all.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t path[MAX_PATH + 8];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  wchar_t partial[MAX_PATH + 8];
  lstrcpyW(partial, path);
  lstrcatW(partial, L".tmp");
  lstrcatW(path, L".log");

  const wchar_t* commandLine = GetCommandLineW();
  char text[4096];
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, text, sizeof text, nullptr, nullptr);
  if (size <= 0) return 1;
  HANDLE file = CreateFileW(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text, static_cast<DWORD>(size - 1), &written, nullptr);
  CloseHandle(file);
  if (!ok || !MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING)) return 1;
  return 0;
}
