#include "registry_backup.h"

#include "tests/support/registry_tree.h"

namespace {
constexpr wchar_t kBackupRoot[] = L"Software\\Velmora\\GravlinE2EBackup";

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
  saved_ = test_support::CopyTree(HKEY_CURRENT_USER, path_, backup_);
  RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

RegistryBackup::~RegistryBackup() {
  RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  if (saved_) {
    if (!test_support::CopyTree(HKEY_CURRENT_USER, backup_, path_))
      return;  // keep the backup for a later run
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
