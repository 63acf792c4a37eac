#pragma once
// The score table in the registry: HKEY_CURRENT_USER\keyPath holds one REG_BINARY value of one
// record per slot, named by the slot number. A null or empty path reads and writes nothing.
#include "velcore/codec/score_table.h"

struct ScoreTableRegistry {
  // Empties the table, then takes in every value "0" to "9" that is a whole record of the right
  // type with a matching checksum, packed into the first slots in that order.
  static void Load(ScoreTable& table, const wchar_t* keyPath);
  // Only after a slot has changed: writes every entry under its slot number and removes the
  // values the last Load took in from beyond them; values it skipped stay as they are.
  static void Save(ScoreTable& table, const wchar_t* keyPath);
};
