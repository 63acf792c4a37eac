#include "shell/settings.h"

#include <windows.h>

#include "ui/registry.h"

// The type is not looked at, but anything other than four bytes counts as unreadable: a shorter
// value would leave part of the number undefined.
void ReadSettings(Settings& settings, const wchar_t* path) {
  const ui::RegistryKey key =
      ui::RegistryKey::Open(HKEY_CURRENT_USER, path, ui::RegistryAccess::kRead);
  if (!key) return;
  DWORD value = 0;
  if (key.ReadDword(L"InitialLevel", value) && value < kLevelCount) {
    settings.InitialLevel = value;
  }
  if (key.ReadDword(L"ShowPreview", value)) settings.ShowPreview = value != 0;
  if (key.ReadDword(L"PlaySound", value)) settings.PlaySound = value != 0;
}

void WriteSettings(const Settings& settings, const wchar_t* path) {
  const ui::RegistryKey key =
      ui::RegistryKey::Create(HKEY_CURRENT_USER, path, ui::RegistryAccess::kWrite);
  if (!key) return;
  key.WriteDword(L"InitialLevel", settings.InitialLevel);
  key.WriteDword(L"ShowPreview", settings.ShowPreview ? 1 : 0);
  key.WriteDword(L"PlaySound", settings.PlaySound ? 1 : 0);
}
