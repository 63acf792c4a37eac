#include "velcore/scores/score_table_registry.h"

#include <windows.h>

#include <cwchar>

#include "ui/registry.h"

namespace {

struct SlotName {
  explicit SlotName(int slot) { std::swprintf(text, 4, L"%u", static_cast<unsigned>(slot)); }
  wchar_t text[4];
};

}  // namespace

void ScoreTableRegistry::Load(ScoreTable& table, const wchar_t* keyPath) {
  table.Clear();
  // A null or empty path would open HKEY_CURRENT_USER itself.
  if (!keyPath || !*keyPath) return;
  const ui::RegistryKey key = ui::RegistryKey::Open(HKEY_CURRENT_USER, keyPath, KEY_QUERY_VALUE);
  if (!key) return;
  for (int n = 0; n < ScoreTable::kCapacity; ++n) {
    ScoreRecord stored = {};
    // A shorter value is no record, whatever its padding would sum to.
    if (!key.ReadBinary(SlotName(n).text, stored, REG_BINARY)) continue;
    table.AcceptRecord(stored, n);
  }
}

void ScoreTableRegistry::Save(ScoreTable& table, const wchar_t* keyPath) {
  if (table.ChangedSlot() < 0 || !keyPath || !*keyPath) return;
  const ui::RegistryKey key = ui::RegistryKey::Create(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS);
  if (!key) return;
  for (int n = 0; n < table.Count(); ++n) {
    key.WriteBinary(SlotName(n).text, EncodeRecord(table.Entry(n)));
  }
  // Loading packs the valid values into the first slots, so a value it took in from past them
  // now stands again under a lower number and would come back as a second entry on the next
  // load. Values it skipped were never read: they stay as they are.
  for (int n = table.Count(); n < ScoreTable::kCapacity; ++n) {
    if (table.TakenFrom() & (1u << n)) key.DeleteValue(SlotName(n).text);
  }
  table.MarkSaved();
}
