#include "velcore/keys/key_map.h"

#include <cwchar>
#include <new>

#include "ui/registry.h"

namespace {

constexpr wchar_t kIdValue[] = L"Id";
constexpr wchar_t kCodeValue[] = L"Code";
constexpr wchar_t kNameValue[] = L"Name";

void ReadInt(const ui::RegistryKey& key, const wchar_t* name, int32_t& value) {
  DWORD stored = 0;
  if (key.ReadDword(name, stored)) value = static_cast<int32_t>(stored);
}

static_assert(ui::RegistryKey::kSubkeyNameLength <= kKeyNameLength, "a walked name fits the entry");

}  // namespace

bool KeyMap::Load(const wchar_t* path) {
  const ui::RegistryKey key =
      ui::RegistryKey::Open(HKEY_CURRENT_USER, path, ui::RegistryAccess::kReadSubkeys);
  if (!key) return false;
  try {
    std::vector<KeyMapEntry> entries;
    // Subkeys may come and go meanwhile: the walk never reads more than were counted, and only
    // entries whose subkey name was read are kept, so that saving cannot write into the wrong key.
    const std::optional<DWORD> count = key.ForEachSubkey([&](const wchar_t* name, DWORD length) {
      if (length == 0) return;
      KeyMapEntry entry;
      std::wmemcpy(entry.subkey, name, length + 1);
      if (const ui::RegistryKey action =
              ui::RegistryKey::Open(key.Handle(), entry.subkey, ui::RegistryAccess::kRead)) {
        ReadInt(action, kIdValue, entry.Id);
        ReadInt(action, kCodeValue, entry.Code);
        action.ReadText(kNameValue, entry.Name);
      }
      entries.push_back(entry);
    });
    if (!count || *count == 0) return false;
    entries_.swap(entries);
    return true;
  } catch (const std::bad_alloc&) {
    return false;  // the map stays as it was
  }
}

void KeyMap::Save(const wchar_t* path) const {
  const ui::RegistryKey key =
      ui::RegistryKey::Open(HKEY_CURRENT_USER, path, ui::RegistryAccess::kRead);
  if (!key) return;
  for (const KeyMapEntry& entry : entries_) {
    if (entry.subkey[0] == L'\0') continue;  // an empty name would open the key itself
    // Never read and never assigned: whatever the subkey holds (nothing, a text written by hand)
    // is not ours to replace.
    if (entry.Code == -1) continue;
    const ui::RegistryKey action =
        ui::RegistryKey::Open(key.Handle(), entry.subkey, ui::RegistryAccess::kWrite);
    if (action) action.WriteDword(kCodeValue, static_cast<DWORD>(entry.Code));
  }
}

const KeyMapEntry* KeyMap::Find(WPARAM code) const {
  for (const KeyMapEntry& entry : entries_) {
    if (IsKeyCode(entry.Code) && static_cast<WPARAM>(entry.Code) == code) return &entry;
  }
  return nullptr;
}
