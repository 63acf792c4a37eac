// Any bytes as a stored score value: taken only with a matching checksum, the name always ends
// inside its field, and decoding an encoded entry gives the entry back.
#include <cstring>

#include "tests/fuzz/fuzz_input.h"
#include "velcore/codec/score_record.h"

namespace {

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// The stored layout spelled out byte by byte: stored byte i is plain byte 67 - i XOR the key.
ScoreRecord Unscramble(const ScoreRecord& stored) {
  ScoreRecord plain;
  for (size_t i = 0; i < kRecordSize; ++i) plain[i] = stored[kRecordSize - 1 - i] ^ 0x5A;
  return plain;
}

bool SameBytes(const ScoreEntry& a, const ScoreEntry& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool NameEndsInField(const ScoreEntry& e) {
  for (Utf16Char c : e.name) {
    if (c == 0) return true;
  }
  return false;
}

void CheckStoredValue(const ScoreRecord& stored) {
  const ScoreRecord plain = Unscramble(stored);
  uint32_t sum = 0;
  for (size_t i = 4; i < kRecordSize; ++i) sum += plain[i];
  const bool valid = sum == Le32(plain.data());

  ScoreEntry entry;
  std::memset(&entry, 0xA5, sizeof entry);
  const ScoreEntry before = entry;
  FUZZ_CHECK(DecodeRecord(stored, entry) == valid);
  if (!valid) {
    FUZZ_CHECK(SameBytes(entry, before));
    return;
  }

  FUZZ_CHECK(NameEndsInField(entry));
  const uint8_t* name = plain.data() + 4;
  bool ended = false;
  for (size_t i = 0; i < kScoreNameLength + 1 && !ended; ++i) {
    const Utf16Char stored_unit = static_cast<Utf16Char>(name[2 * i] | (name[2 * i + 1] << 8));
    // A name without a NUL in its field is cut after 25 characters.
    if (i == kScoreNameLength) {
      FUZZ_CHECK(entry.name[i] == 0);
      ended = stored_unit == 0;
      break;
    }
    FUZZ_CHECK(entry.name[i] == stored_unit);
    ended = stored_unit == 0;
  }
  FUZZ_CHECK(static_cast<uint32_t>(entry.score) == Le32(plain.data() + 56));
  FUZZ_CHECK(std::memcmp(&entry.date, plain.data() + 60, 8) == 0);

  // An entry read back is stored again as it came, apart from a name cut short.
  const ScoreRecord again = EncodeRecord(entry);
  if (ended) FUZZ_CHECK(again == stored);
  ScoreEntry reread;
  FUZZ_CHECK(DecodeRecord(again, reread));
  FUZZ_CHECK(SameBytes(reread, entry));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);

  // The first 68 bytes as a stored value; a short one is completed with zeros.
  ScoreRecord stored = {};
  size_t taken = 0;
  const uint8_t* bytes = in.Take(kRecordSize, taken);
  std::memcpy(stored.data(), bytes, taken);
  CheckStoredValue(stored);

  ScoreRecord twice = stored;
  ScrambleRecord(twice);
  ScrambleRecord(twice);
  FUZZ_CHECK(twice == stored);

  // The same bytes as an entry in memory: any entry with its name ended survives a round trip,
  // and changing any one byte of its stored form loses it.
  ScoreEntry entry;
  std::memcpy(&entry, stored.data(), sizeof entry);
  entry.TerminateName();
  ScoreRecord encoded = EncodeRecord(entry);
  CheckStoredValue(encoded);
  ScoreEntry decoded;
  FUZZ_CHECK(DecodeRecord(encoded, decoded));
  FUZZ_CHECK(SameBytes(decoded, entry));

  const size_t at = in.Byte() % kRecordSize;
  const uint8_t flip = static_cast<uint8_t>(in.Byte() | 1);
  encoded[at] ^= flip;
  CheckStoredValue(encoded);
  FUZZ_CHECK(!DecodeRecord(encoded, decoded));
  return 0;
}
