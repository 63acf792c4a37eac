#pragma once
// The stored form of a ScoreEntry: a 32-bit checksum of the entry's 64 bytes, then the entry,
// the 68 bytes XORed with a key byte and reversed.
#include <array>
#include <cstddef>
#include <cstdint>

#include "velcore/codec/score_entry.h"

constexpr size_t kRecordSize = 68;
constexpr uint8_t kScrambleKey = 0x5A;  // also the key of the publishing code

using ScoreRecord = std::array<uint8_t, kRecordSize>;

// Sum of bytes 4 to 67, each taken as 0 to 255.
uint32_t RecordChecksum(const ScoreRecord& plain);
// XOR with the key, then reverse the order; its own inverse.
void ScrambleRecord(ScoreRecord& record);
// The scrambled record of an entry.
ScoreRecord EncodeRecord(const ScoreEntry& entry);
// Unscrambles a stored record; false, and the entry untouched, when the checksum does not match.
bool DecodeRecord(const ScoreRecord& stored, ScoreEntry& entry);
