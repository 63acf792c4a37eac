// The registry half of ScoreTable: one REG_BINARY value per slot, named by the slot number.
#include <windows.h>

#include <cwchar>

#include "velcore/codec/score_table.h"

namespace {

struct SlotName {
  explicit SlotName(int slot) { std::swprintf(text, 4, L"%u", static_cast<unsigned>(slot)); }
  wchar_t text[4];
};

}  // namespace

void ScoreTable::Load(const wchar_t* keyPath) {
  Clear();
  // A null or empty path would open HKEY_CURRENT_USER itself.
  if (!keyPath || !*keyPath) return;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  for (int n = 0; n < kCapacity; ++n) {
    ScoreRecord stored = {};
    DWORD type = 0;
    DWORD size = kRecordSize;
    if (RegQueryValueExW(key, SlotName(n).text, nullptr, &type, stored.data(), &size) !=
        ERROR_SUCCESS) {
      continue;  // missing, or longer than a record
    }
    // A shorter value is no record, whatever its padding would sum to.
    if (type != REG_BINARY || size != kRecordSize) continue;
    if (AcceptRecord(stored)) loadedValues_ |= static_cast<uint16_t>(1u << n);
  }
  RegCloseKey(key);
}

void ScoreTable::Save(const wchar_t* keyPath) {
  if (changedSlot_ < 0 || !keyPath || !*keyPath) return;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  for (int n = 0; n < count_; ++n) {
    const ScoreRecord stored = EncodeRecord(entries_[n]);
    RegSetValueExW(key, SlotName(n).text, 0, REG_BINARY, stored.data(), kRecordSize);
  }
  // Loading packs the valid values into the first slots, so a value it took in from past them
  // now stands again under a lower number and would come back as a second entry on the next
  // load. Values it skipped were never read: they stay as they are.
  for (int n = count_; n < kCapacity; ++n) {
    if (loadedValues_ & (1u << n)) RegDeleteValueW(key, SlotName(n).text);
  }
  changedSlot_ = -1;
  RegCloseKey(key);
}
