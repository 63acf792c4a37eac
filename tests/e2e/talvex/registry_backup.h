#pragma once
// Sets a registry tree aside for a test and puts it back afterwards, so that tests start from
// nothing and leave the prefix as they found it.
#include <windows.h>

#include <string>

constexpr wchar_t kGameKey[] = L"Software\\Velmora\\Gravlin";
constexpr wchar_t kOptionsKey[] = L"Software\\Velmora\\Gravlin\\Options";
constexpr wchar_t kScoreKey[] = L"Software\\Velmora\\Gravlin\\Score";

class RegistryBackup {
 public:
  // path: a key under HKEY_CURRENT_USER; the game's own tree unless told.
  explicit RegistryBackup(const wchar_t* path = kGameKey);
  ~RegistryBackup();
  RegistryBackup(const RegistryBackup&) = delete;
  RegistryBackup& operator=(const RegistryBackup&) = delete;

 private:
  std::wstring path_, backup_;
  bool saved_ = false;
};

void SetDword(const wchar_t* path, const wchar_t* name, DWORD value);
