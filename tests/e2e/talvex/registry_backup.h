#pragma once
// Sets the game's registry tree aside for a test and puts it back afterwards, so that tests
// start from nothing and leave the prefix as they found it.
#include <windows.h>

class RegistryBackup {
 public:
  RegistryBackup();
  ~RegistryBackup();
  RegistryBackup(const RegistryBackup&) = delete;
  RegistryBackup& operator=(const RegistryBackup&) = delete;

 private:
  bool saved_ = false;
};

constexpr wchar_t kGameKey[] = L"Software\\Velmora\\Gravlin";
constexpr wchar_t kOptionsKey[] = L"Software\\Velmora\\Gravlin\\Options";
constexpr wchar_t kScoreKey[] = L"Software\\Velmora\\Gravlin\\Score";

void SetDword(const wchar_t* path, const wchar_t* name, DWORD value);
