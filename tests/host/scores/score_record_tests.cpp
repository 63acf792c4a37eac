// The stored record: checksum, scrambling and what a damaged record does.
#include <gtest/gtest.h>

#include <cstring>

#include "velcore/codec/score_record.h"

namespace {

ScoreEntry MakeEntry(const char* name, int32_t score, double date) {
  ScoreEntry e;
  std::memset(&e, 0, sizeof e);
  for (size_t i = 0; name[i] != '\0'; ++i) e.name[i] = static_cast<Utf16Char>(name[i]);
  e.score = score;
  e.date = date;
  return e;
}

TEST(ScoreRecord, StoredByteIsPlainByteReversedAndKeyed) {
  const ScoreEntry entry = MakeEntry("Ada", 0x01020304, 45123.75);
  // The plain record as laid down by hand: little-endian sum of the entry's bytes, then the
  // entry.
  uint8_t plain[68];
  std::memcpy(plain + 4, &entry, 64);
  uint32_t sum = 0;
  for (int i = 4; i < 68; ++i) sum += plain[i];
  for (int i = 0; i < 4; ++i) plain[i] = static_cast<uint8_t>(sum >> (8 * i));

  const ScoreRecord stored = EncodeRecord(entry);
  for (int i = 0; i < 68; ++i) {
    EXPECT_EQ(stored[i], plain[67 - i] ^ 0x5A) << "stored byte " << i;
  }
  // The name's first unit lies at plain offset 4, so its low byte is stored at 63.
  EXPECT_EQ(stored[63], 'A' ^ 0x5A);
  // The score's low byte lies at plain offset 56, stored at 11.
  EXPECT_EQ(stored[11], 0x04 ^ 0x5A);
}

TEST(ScoreRecord, ChecksumAddsEntryBytesOnly) {
  ScoreRecord plain = {};
  std::memcpy(plain.data() + 4, "\x41\x00\x42\x00", 4);  // "AB"
  plain[56] = 4;
  plain[57] = 3;
  plain[58] = 2;
  plain[59] = 1;
  plain[0] = plain[1] = plain[2] = plain[3] = 0xFF;  // the checksum field itself does not count
  EXPECT_EQ(RecordChecksum(plain), 65u + 66u + 4u + 3u + 2u + 1u);
  ScoreRecord full;
  full.fill(0xFF);
  EXPECT_EQ(RecordChecksum(full), 64u * 255u);  // bytes count as 0 to 255, never negative
}

TEST(ScoreRecord, ScrambleIsItsOwnInverse) {
  ScoreRecord r;
  for (int i = 0; i < 68; ++i) r[i] = static_cast<uint8_t>(i * 7 + 1);
  const ScoreRecord original = r;
  ScrambleRecord(r);
  EXPECT_NE(r, original);
  ScrambleRecord(r);
  EXPECT_EQ(r, original);
}

TEST(ScoreRecord, RoundTripKeepsEveryByte) {
  ScoreEntry entry = MakeEntry("Zoe", -5, 45000.5);
  entry.name[10] = 0xBEEF;  // after the NUL: meaningless, but stored as it is
  ScoreEntry back;
  std::memset(&back, 0xCC, sizeof back);
  ASSERT_TRUE(DecodeRecord(EncodeRecord(entry), back));
  EXPECT_EQ(std::memcmp(&back, &entry, sizeof entry), 0);
}

TEST(ScoreRecord, EveryChangeOfOneByteIsRejected) {
  const ScoreEntry entry = MakeEntry("Moss", 12345, 44000.25);
  const ScoreRecord stored = EncodeRecord(entry);
  for (int i = 0; i < 68; ++i) {
    for (int delta = 1; delta < 256; ++delta) {
      ScoreRecord damaged = stored;
      damaged[i] = static_cast<uint8_t>(damaged[i] + delta);
      ScoreEntry out = MakeEntry("untouched", 7, 1.0);
      ASSERT_FALSE(DecodeRecord(damaged, out)) << "byte " << i << " +" << delta;
      EXPECT_EQ(out.score, 7);
    }
  }
}

TEST(ScoreRecord, StoredNameWithoutNulEndsInsideTheField) {
  ScoreEntry entry = MakeEntry("", 10, 0.0);
  for (Utf16Char& c : entry.name) c = 'x';  // forged: 26 characters, no NUL
  ScoreEntry back;
  ASSERT_TRUE(DecodeRecord(EncodeRecord(entry), back));
  EXPECT_EQ(back.name[24], 'x');
  EXPECT_EQ(back.name[25], 0);
  EXPECT_EQ(back.score, 10);
}

TEST(ScoreEntry, SetNameKeepsAtMost25CharactersAndClearsTheRest) {
  struct Case {
    const char* text;
    size_t stored;
  } cases[] = {{"", 0},
               {"Ada", 3},
               {"abcdefghijklmnopqrstuvwxy", 25},
               {"abcdefghijklmnopqrstuvwxyz0123456789", 25}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Utf16Char text[64] = {};
    for (size_t i = 0; c.text[i] != '\0'; ++i) text[i] = static_cast<Utf16Char>(c.text[i]);
    ScoreEntry e;
    std::memset(&e, 0x7F, sizeof e);
    e.SetName(text);
    for (size_t i = 0; i < c.stored; ++i) EXPECT_EQ(e.name[i], static_cast<Utf16Char>(c.text[i]));
    for (size_t i = c.stored; i <= 25; ++i) EXPECT_EQ(e.name[i], 0) << i;
    EXPECT_EQ(e.score, 0x7F7F7F7F);  // nothing written past the field
  }
}

}  // namespace
