// The score table in the real registry: what a load keeps, where a save writes, and what a
// save cut short leaves.
#include <gtest/gtest.h>
#include <algorithm>
#include <windows.h>

#include "tests/win/scores/test_key.h"
#include "ui/registry.h"
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

// Stored records never move: the new entry gets a number of its own, and a value the load
// skipped is overwritten only when every other number holds a record.
TEST(ScoreTableRegistry, NewEntryTakesAFreeNumberAndLeavesTheRestAsStored) {
  ScoreRecord damaged = EncodeRecord(MakeEntry(L"bad", 30));
  damaged[20] ^= 0x01;
  struct Case {
    const char* name;
    std::vector<int> records;  // numbers holding valid records
    std::vector<int> damaged;  // numbers holding a damaged one
    int newAt;                 // where the new entry must land
  } cases[] = {
      {"no gaps", {0, 1, 2}, {}, 3},
      {"a gap", {0, 5}, {}, 1},
      {"a damaged value and a gap after", {0, 1, 3}, {2}, 4},
      {"only a damaged value free", {0, 1, 2, 3, 4, 5, 6, 8, 9}, {7}, 7},
  };
  TestKey key;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    key.Clear();
    for (int n : c.records) key.WriteEntry(n, MakeEntry(L"old", 100 + n));
    for (int n : c.damaged)
      key.Write(std::to_wstring(n).c_str(), REG_BINARY, damaged.data(), kRecordSize);
    const auto before = key.Values();
    ScoreTable table = Loaded(key);
    const int slot = table.TakeNewEntry(7, 45300.0, L"new");
    ASSERT_GE(slot, 0);
    ScoreTableRegistry::Save(table, key.Path());
    EXPECT_EQ(table.ChangedSlot(), -1);

    const auto stored = key.ReadEntry(c.newAt);
    ASSERT_TRUE(stored);
    EXPECT_EQ(std::wstring(stored->name), L"new");
    for (const auto& [name, value] : before) {
      if (name == std::to_wstring(c.newAt)) continue;
      EXPECT_EQ(test_support::ReadValue(HKEY_CURRENT_USER, key.Path(), name.c_str()), value)
          << "value " << std::string(name.begin(), name.end());
    }
    EXPECT_EQ(Loaded(key).Count(), static_cast<int>(c.records.size()) + 1);
  }
}

// The process may end between any two registry calls of a save: what is stored afterwards
// holds every old record once and the new entry at most once.
TEST(ScoreTableRegistry, SaveCutAfterAnyCallLeavesNoCopy) {
  TestKey key;
  bool completed = false;
  for (int cut = 0; cut < 64 && !completed; ++cut) {
    SCOPED_TRACE("cut after " + std::to_string(cut) + " calls");
    key.Clear();
    key.WriteEntry(0, MakeEntry(L"a", 10));
    key.WriteEntry(5, MakeEntry(L"f", 60));
    key.WriteEntry(8, MakeEntry(L"i", 90));
    ui::StopRegistryCallsAfter(cut);
    ScoreTable table;
    ScoreTableRegistry::Load(table, key.Path());
    if (table.TakeNewEntry(70, 45300.0, L"new") >= 0) ScoreTableRegistry::Save(table, key.Path());
    ui::StopRegistryCallsAfter(-1);

    std::vector<std::wstring> names;
    const ScoreTable after = Loaded(key);
    for (int n = 0; n < after.Count(); ++n) names.emplace_back(after.Entry(n).name);
    std::sort(names.begin(), names.end());
    completed = names == Names{L"a", L"f", L"i", L"new"};
    if (!completed) {
      EXPECT_EQ(names, (Names{L"a", L"f", L"i"}));
    }
  }
  EXPECT_TRUE(completed);
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
