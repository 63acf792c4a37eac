#pragma once
// The score table in the registry: HKEY_CURRENT_USER\keyPath holds one REG_BINARY value of one
// record per slot, named by a number from "0" to "9". A null or empty path reads and writes
// nothing.
#include "velcore/codec/score_table.h"

struct ScoreTableRegistry {
  // Empties the table, then takes in every value "0" to "9" that is a whole record of the right
  // type with a matching checksum, packed into the first slots in that order.
  static void Load(ScoreTable& table, const wchar_t* keyPath);
  // Only after a slot has changed since Load: writes that slot's entry and nothing else, over
  // the record it replaced, or else under a number that holds no value (failing that, one that
  // holds no record). Stored records never move, so a save cut short at any point leaves the
  // new entry stored or not, and never a record under two numbers.
  static void Save(ScoreTable& table, const wchar_t* keyPath);
  // Reads the table again and lets `entry` in by the table's own rule, then saves: what another
  // program stored or removed since the table was shown stays so. False when the score no longer
  // enters.
  static bool StoreNewEntry(const wchar_t* keyPath, const ScoreEntry& entry);
};
