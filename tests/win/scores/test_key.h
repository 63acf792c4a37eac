#pragma once
// Score tables planted in and read back from the running test's scratch key.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/registry_values.h"
#include "velcore/codec/score_record.h"

inline ScoreEntry MakeEntry(const wchar_t* name, int32_t score, double date = 45292.0) {
  ScoreEntry e;
  std::memset(&e, 0, sizeof e);
  e.SetName(name);
  e.score = score;
  e.date = date;
  return e;
}

inline bool SameEntry(const ScoreEntry& a, const ScoreEntry& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

using RawValue = test_support::RegistryValue;

// The test's scratch key holding a score table, its slots written and read with the record codec.
class TestKey : public test_support::ScratchKey {
 public:
  void WriteEntry(int slot, const ScoreEntry& entry) const {
    const ScoreRecord stored = EncodeRecord(entry);
    Write(std::to_wstring(slot).c_str(), REG_BINARY, stored.data(), kRecordSize);
  }
  // The entry stored under a slot number, decoded with the record codec.
  std::optional<ScoreEntry> ReadEntry(int slot) const {
    const std::optional<RawValue> value = Read(std::to_wstring(slot).c_str());
    if (!value || value->type != REG_BINARY || value->bytes.size() != kRecordSize) {
      return std::nullopt;
    }
    ScoreRecord stored;
    std::memcpy(stored.data(), value->bytes.data(), kRecordSize);
    ScoreEntry entry;
    if (!DecodeRecord(stored, entry)) return std::nullopt;
    return entry;
  }
};
