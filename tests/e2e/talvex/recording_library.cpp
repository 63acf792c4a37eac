// A library that is someone else's: built as coredll.dll and as velcore.dll (without a single
// export), planted where a search by bare name would find it. Loaded into a process, it writes
// where it was loaded from under HKEY_CURRENT_USER\Software\Velmora\TalvenorTests\Loaded.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Velmora\\TalvenorTests\\Loaded", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    RegSetValueExW(key, path, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&length), sizeof length);
    RegCloseKey(key);
  }
  return TRUE;
}
