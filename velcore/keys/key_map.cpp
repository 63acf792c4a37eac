#include "velcore/keys/key_map.h"

#include <new>

namespace {

constexpr wchar_t kIdValue[] = L"Id";
constexpr wchar_t kCodeValue[] = L"Code";
constexpr wchar_t kNameValue[] = L"Name";

}  // namespace

bool KeyMap::Load(const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD count = 0;
  bool loaded = false;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
      count > 0) {
    try {
      std::vector<KeyMapEntry> entries;
      // Subkeys may come and go meanwhile: never read more than were counted, and keep only
      // entries whose subkey name was read, so that saving cannot write into the wrong key.
      for (DWORD i = 0; i < count; ++i) {
        KeyMapEntry entry;
        DWORD length = kNameLength;
        const LSTATUS status =
            RegEnumKeyExW(key, i, entry.subkey, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;  // a name too long to be written back to
        if (status != ERROR_SUCCESS) break;
        if (length == 0 || length >= kNameLength) continue;
        entry.subkey[length] = L'\0';
        HKEY action = nullptr;
        if (RegOpenKeyExW(key, entry.subkey, 0, KEY_QUERY_VALUE, &action) == ERROR_SUCCESS) {
          ReadRegistryInt(action, kIdValue, entry.Id);
          ReadRegistryInt(action, kCodeValue, entry.Code);
          ReadRegistryText(action, kNameValue, entry.Name);
          RegCloseKey(action);
        }
        entries.push_back(entry);
      }
      entries_.swap(entries);
      loaded = true;
    } catch (const std::bad_alloc&) {
      // Keep the map as it was.
    }
  }
  RegCloseKey(key);
  return loaded;
}

void KeyMap::Save(const wchar_t* path) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (const KeyMapEntry& entry : entries_) {
    if (entry.subkey[0] == L'\0') continue;  // an empty name would open the key itself
    // Never read and never assigned: whatever the subkey holds (nothing, a text written by hand)
    // is not ours to replace.
    if (entry.Code == -1) continue;
    HKEY action = nullptr;
    if (RegOpenKeyExW(key, entry.subkey, 0, KEY_SET_VALUE, &action) != ERROR_SUCCESS) continue;
    const DWORD code = static_cast<DWORD>(entry.Code);
    RegSetValueExW(action, kCodeValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&code),
                   sizeof code);
    RegCloseKey(action);
  }
  RegCloseKey(key);
}

const KeyMapEntry* KeyMap::Find(WPARAM code) const {
  for (const KeyMapEntry& entry : entries_) {
    if (IsKeyCode(entry.Code) && static_cast<WPARAM>(entry.Code) == code) return &entry;
  }
  return nullptr;
}
