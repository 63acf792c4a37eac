#include "velcore/scores/score_table_registry.h"

#include <windows.h>

#include <cwchar>

#include "ui/registry.h"

namespace {

struct SlotName {
  explicit SlotName(int slot) { std::swprintf(text, 4, L"%u", static_cast<unsigned>(slot)); }
  wchar_t text[4];
};

// A number for an entry of its own: the first that holds no value, else the first that holds
// nothing the last Load took in (a value it skipped is no record anyone can see); -1 when all
// ten hold records.
int FreeNumber(const ui::RegistryKey& key, uint16_t taken) {
  for (int n = 0; n < ScoreTable::kCapacity; ++n) {
    if (!(taken & (1u << n)) && !key.HasValue(SlotName(n).text)) return n;
  }
  for (int n = 0; n < ScoreTable::kCapacity; ++n) {
    if (!(taken & (1u << n))) return n;
  }
  return -1;
}

}  // namespace

void ScoreTableRegistry::Load(ScoreTable& table, const wchar_t* keyPath) {
  table.Clear();
  // A null or empty path would open HKEY_CURRENT_USER itself.
  if (!keyPath || !*keyPath) return;
  const ui::RegistryKey key =
      ui::RegistryKey::Open(HKEY_CURRENT_USER, keyPath, ui::RegistryAccess::kRead);
  if (!key) return;
  for (int n = 0; n < ScoreTable::kCapacity; ++n) {
    ScoreRecord stored = {};
    // A shorter value is no record, whatever its padding would sum to.
    if (!key.ReadBinary(SlotName(n).text, stored, REG_BINARY)) continue;
    table.AcceptRecord(stored, n);
  }
}

void ScoreTableRegistry::Save(ScoreTable& table, const wchar_t* keyPath) {
  const int slot = table.ChangedSlot();
  if (slot < 0 || !keyPath || !*keyPath) return;
  const ui::RegistryKey key =
      ui::RegistryKey::Create(HKEY_CURRENT_USER, keyPath, ui::RegistryAccess::kWrite);
  if (!key) return;
  int number = table.StoredAs(slot);
  if (number < 0) number = FreeNumber(key, table.TakenFrom());
  if (number >= 0) key.WriteBinary(SlotName(number).text, EncodeRecord(table.Entry(slot)));
  table.MarkSaved();
}

bool ScoreTableRegistry::StoreNewEntry(const wchar_t* keyPath, const ScoreEntry& entry) {
  ScoreTable table;
  Load(table, keyPath);
  if (table.TakeNewEntry(entry.score, entry.date, entry.name) < 0) return false;
  Save(table, keyPath);
  return true;
}
