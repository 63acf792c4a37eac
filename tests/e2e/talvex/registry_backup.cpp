#include "registry_backup.h"

namespace {
constexpr wchar_t kBackupRoot[] = L"Software\\Velmora\\GravlinE2EBackup";

bool CopyTree(const wchar_t* from, const wchar_t* to) {
  HKEY source = nullptr, target = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, from, 0, KEY_READ, &source) != ERROR_SUCCESS) return false;
  bool copied = false;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                      nullptr) == ERROR_SUCCESS) {
    copied = RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
    RegCloseKey(target);
  }
  RegCloseKey(source);
  return copied;
}

// One backup key per backed-up path, named after it.
std::wstring BackupOf(const wchar_t* path) {
  std::wstring name = kBackupRoot;
  name += L'\\';
  for (const wchar_t* p = path; *p; ++p) name += *p == L'\\' ? L'_' : *p;
  return name;
}
}  // namespace

RegistryBackup::RegistryBackup(const wchar_t* path) : path_(path), backup_(BackupOf(path)) {
  RegDeleteTreeW(HKEY_CURRENT_USER, backup_.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, backup_.c_str());
  saved_ = CopyTree(path_.c_str(), backup_.c_str());
  RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

RegistryBackup::~RegistryBackup() {
  RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  if (saved_) {
    if (!CopyTree(backup_.c_str(), path_.c_str())) return;  // keep the backup for a later run
  } else {
    RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());  // was not there before
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, backup_.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, backup_.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, kBackupRoot);  // only once empty
}

void SetDword(const wchar_t* path, const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, path, name, REG_DWORD, &value, sizeof value);
}
