#pragma once
// The actions of the calling game with the key assigned to each, kept under
// HKEY_CURRENT_USER\<path> as one subkey per action holding "Id", "Code" and "Name".
#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

// A name of at most 255 characters and its terminator.
constexpr size_t kKeyNameLength = 256;

struct KeyMapEntry {
  int32_t Id = -1;    // sent to the target window as wParam
  int32_t Code = -1;  // virtual-key code; 0 not assigned, -1 not read
  wchar_t Name[kKeyNameLength] = {};
  wchar_t subkey[kKeyNameLength] = {};  // where Code is written back
};

// Codes 0 (not assigned) and -1 (not read) stand for no key, so they never match one.
inline bool IsKeyCode(int32_t code) {
  return code > 0;
}

class KeyMap {
 public:
  // Replaces the entries with the action subkeys under HKEY_CURRENT_USER\path, in the
  // registry's order. Returns false, keeping the entries, when the key cannot be opened or has
  // no subkeys.
  bool Load(const wchar_t* path);
  // Writes every entry's Code back into its own subkey, except a Code that was neither read
  // nor assigned since; a subkey that cannot be opened is skipped. Nothing is created.
  void Save(const wchar_t* path) const;

  // The first entry, in map order, assigned to the key.
  const KeyMapEntry* Find(WPARAM code) const;

  std::span<KeyMapEntry> Entries() { return entries_; }
  std::span<const KeyMapEntry> Entries() const { return entries_; }

 private:
  std::vector<KeyMapEntry> entries_;
};
