#include "velcore/codec/score_record.h"

#include <algorithm>
#include <bit>
#include <cstring>

// The entry is copied to and from the record as it lies in memory.
static_assert(std::endian::native == std::endian::little);

uint32_t RecordChecksum(const ScoreRecord& plain) {
  uint32_t sum = 0;
  for (size_t i = 4; i < kRecordSize; ++i) sum += plain[i];
  return sum;
}

void ScrambleRecord(ScoreRecord& record) {
  for (uint8_t& b : record) b ^= kScrambleKey;
  std::reverse(record.begin(), record.end());
}

ScoreRecord EncodeRecord(const ScoreEntry& entry) {
  ScoreRecord record = {};
  std::memcpy(record.data() + 4, &entry, sizeof entry);
  const uint32_t sum = RecordChecksum(record);
  std::memcpy(record.data(), &sum, sizeof sum);
  ScrambleRecord(record);
  return record;
}

bool DecodeRecord(const ScoreRecord& stored, ScoreEntry& entry) {
  ScoreRecord plain = stored;
  ScrambleRecord(plain);
  uint32_t sum = 0;
  std::memcpy(&sum, plain.data(), sizeof sum);
  if (sum != RecordChecksum(plain)) return false;
  std::memcpy(&entry, plain.data() + 4, sizeof entry);
  entry.TerminateName();
  return true;
}
