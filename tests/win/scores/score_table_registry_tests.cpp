// The score table in the real registry: what a load keeps, where a save writes.
#include <gtest/gtest.h>
#include <algorithm>
#include <windows.h>

#include "tests/win/scores/test_key.h"
#include "velcore/scores/score_table_registry.h"

namespace {

using Names = std::vector<std::wstring>;

ScoreTable Loaded(const TestKey& key) {
  ScoreTable table;
  ScoreTableRegistry::Load(table, key.Path());
  return table;
}

uint32_t PlainChecksum(const ScoreEntry& entry) {
  ScoreRecord plain = EncodeRecord(entry);
  ScrambleRecord(plain);
  return RecordChecksum(plain);
}

void ExpectScores(const ScoreTable& table, std::vector<int32_t> scores) {
  ASSERT_EQ(table.Count(), static_cast<int>(scores.size()));
  for (int i = 0; i < table.Count(); ++i)
    EXPECT_EQ(table.Entry(i).score, scores[i]) << "slot " << i;
}

TEST(ScoreTableRegistry, MissingKeyLoadsEmptyAndSaveCreatesValueZero) {
  TestKey key;
  ScoreTable table = Loaded(key);
  EXPECT_EQ(table.Count(), 0);
  const int slot = table.AppendSlot();
  ASSERT_EQ(slot, 0);
  table.Entry(slot) = MakeEntry(L"Ada", 1500, 45300.5);
  ScoreTableRegistry::Save(table, key.Path());
  EXPECT_EQ(table.ChangedSlot(), -1);

  ASSERT_EQ(key.ValueNames(), Names{L"0"});
  EXPECT_EQ(key.Values()[0].second.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(key.Values()[0].second.bytes.size(), 68u);
  ASSERT_TRUE(key.ReadEntry(0));
  EXPECT_TRUE(SameEntry(*key.ReadEntry(0), table.Entry(0)));
}

TEST(ScoreTableRegistry, DamagedValueIsSkippedAndSlotsRenumberedOnSave) {
  TestKey key;
  key.WriteEntry(0, MakeEntry(L"a", 10));
  key.WriteEntry(1, MakeEntry(L"b", 20));
  ScoreRecord damaged = EncodeRecord(MakeEntry(L"c", 30));
  damaged[20] ^= 0x01;
  key.Write(L"2", REG_BINARY, damaged.data(), kRecordSize);
  key.WriteEntry(3, MakeEntry(L"d", 40));

  ScoreTable table = Loaded(key);
  ExpectScores(table, {10, 20, 40});
  ASSERT_EQ(table.AppendSlot(), 3);
  table.Entry(3) = MakeEntry(L"new", 5);
  ScoreTableRegistry::Save(table, key.Path());

  EXPECT_EQ(key.ValueNames().size(), 4u);
  const int32_t expected[] = {10, 20, 40, 5};
  for (int n = 0; n < 4; ++n) {
    ASSERT_TRUE(key.ReadEntry(n)) << n;
    EXPECT_EQ(key.ReadEntry(n)->score, expected[n]);
  }
}

TEST(ScoreTableRegistry, MovedValuesAreRemovedAndSkippedOnesKept) {
  // "0" and "5": the second entry moves up to slot 1; its old value would come back as a copy.
  // "7" is damaged and "8" is no record at all: never read, so never touched.
  TestKey key;
  key.WriteEntry(0, MakeEntry(L"a", 10));
  key.WriteEntry(5, MakeEntry(L"f", 60));
  ScoreRecord damaged = EncodeRecord(MakeEntry(L"g", 80));
  damaged[30] ^= 0x40;
  key.Write(L"7", REG_BINARY, damaged.data(), kRecordSize);
  key.Write(L"8", REG_SZ, L"hi", 6);
  const auto before = key.Values();
  ScoreTable table = Loaded(key);
  ExpectScores(table, {10, 60});
  ASSERT_EQ(table.AppendSlot(), 2);
  table.Entry(2) = MakeEntry(L"new", 70);
  ScoreTableRegistry::Save(table, key.Path());

  EXPECT_EQ(key.ValueNames(), (Names{L"0", L"1", L"2", L"7", L"8"}));
  const auto after = key.Values();
  for (const auto& [name, value] : before) {
    if (name != L"7" && name != L"8") continue;
    SCOPED_TRACE(name);
    const auto kept =
        std::find_if(after.begin(), after.end(), [&](const auto& v) { return v.first == name; });
    ASSERT_NE(kept, after.end());
    EXPECT_EQ(kept->second.type, value.type);
    EXPECT_EQ(kept->second.bytes, value.bytes);
  }
  ExpectScores(Loaded(key), {10, 60, 70});
}

TEST(ScoreTableRegistry, FullTableNewScoreReplacesLowerOfTwoLowestSlots) {
  TestKey key;
  const int32_t scores[] = {900, 800, 700, 500, 600, 650, 750, 500, 850, 950};
  for (int n = 0; n < 10; ++n) key.WriteEntry(n, MakeEntry(L"p", scores[n]));
  ScoreTable table = Loaded(key);
  EXPECT_FALSE(table.Admits(499));
  ASSERT_TRUE(table.Admits(500));
  ASSERT_EQ(table.AppendSlot(), -1);
  ASSERT_EQ(table.ClaimLowest(), 3);
  table.Entry(3) = MakeEntry(L"new", 500);
  ScoreTableRegistry::Save(table, key.Path());

  ScoreTable again = Loaded(key);
  ExpectScores(again, {900, 800, 700, 500, 600, 650, 750, 500, 850, 950});
  EXPECT_EQ(std::wstring(again.Entry(3).name), L"new");
  EXPECT_EQ(std::wstring(again.Entry(7).name), L"p");
}

TEST(ScoreTableRegistry, NineEntriesTakeTheTenthSlot) {
  TestKey key;
  for (int n = 0; n < 9; ++n) key.WriteEntry(n, MakeEntry(L"p", 100 + n));
  ScoreTable table = Loaded(key);
  ASSERT_TRUE(table.Admits(1));
  ASSERT_EQ(table.AppendSlot(), 9);
  table.Entry(9) = MakeEntry(L"low", 1);
  ScoreTableRegistry::Save(table, key.Path());
  ASSERT_TRUE(key.ReadEntry(9));
  EXPECT_EQ(key.ReadEntry(9)->score, 1);
}

TEST(ScoreTableRegistry, SaveWithoutNewEntryWritesNothing) {
  TestKey key;
  key.WriteEntry(0, MakeEntry(L"a", 10));
  key.Write(L"1", REG_BINARY, "short", 5);
  key.WriteEntry(3, MakeEntry(L"d", 40));
  const auto before = key.Values();
  ScoreTable table = Loaded(key);
  ExpectScores(table, {10, 40});
  ScoreTableRegistry::Save(table, key.Path());
  EXPECT_EQ(key.Values(), before);
}

TEST(ScoreTableRegistry, ValuesOfWrongSizeOrTypeAreSkipped) {
  const ScoreEntry good = MakeEntry(L"good", 77);
  const ScoreRecord record = EncodeRecord(good);
  // An entry whose checksum ends in 0x5A is stored with a last byte of 0: cut off, zero padding
  // would make it whole again.
  ScoreEntry padded = MakeEntry(L"pad", 0);
  while ((PlainChecksum(padded) & 0xFF) != 0x5A) ++padded.score;
  const ScoreRecord paddable = EncodeRecord(padded);
  ASSERT_EQ(paddable[67], 0);

  std::vector<uint8_t> longer(record.begin(), record.end());
  longer.push_back(0);
  struct Case {
    const char* name;
    DWORD type;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"69 bytes", REG_BINARY, longer},
      {"67 bytes", REG_BINARY, {record.begin(), record.end() - 1}},
      {"67 bytes that zero padding would complete",
       REG_BINARY,
       {paddable.begin(), paddable.end() - 1}},
      {"empty", REG_BINARY, {}},
      {"REG_SZ of a valid record", REG_SZ, {record.begin(), record.end()}},
      {"REG_DWORD", REG_DWORD, {1, 0, 0, 0}},
  };
  TestKey key;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    key.Clear();
    key.Write(L"0", c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
    key.WriteEntry(1, good);
    ScoreTable table = Loaded(key);
    ASSERT_EQ(table.Count(), 1);
    EXPECT_TRUE(SameEntry(table.Entry(0), good));
  }
}

TEST(ScoreTableRegistry, NoPathReadsAndWritesNothing) {
  ScoreTable table;
  ScoreTableRegistry::Load(table, nullptr);
  EXPECT_EQ(table.Count(), 0);
  table.Entry(table.AppendSlot()) = MakeEntry(L"x", 1);
  ScoreTableRegistry::Save(table, nullptr);
  EXPECT_EQ(table.ChangedSlot(), 0);  // not saved
  DWORD size = 0;
  EXPECT_NE(RegQueryValueExW(HKEY_CURRENT_USER, L"0", nullptr, nullptr, nullptr, &size),
            ERROR_SUCCESS);
}

}  // namespace
