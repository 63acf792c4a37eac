// The slot rules of the score table: the lowest entry, the admission of a new score, the slot a
// new entry takes and what it holds, packing of loaded records and the ranking for display.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "velcore/codec/score_table.h"

namespace {

ScoreTable TableOf(std::initializer_list<int32_t> scores) {
  ScoreTable table;
  for (int32_t s : scores) {
    const int slot = table.AppendSlot();
    table.Entry(slot) = ScoreEntry{};
    table.Entry(slot).score = s;
  }
  return table;
}

TEST(ScoreTable, EmptyTable) {
  ScoreTable table;
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.ChangedSlot(), -1);
  EXPECT_EQ(table.FindLowest(), -1);
  EXPECT_EQ(table.LowestScore(), 0);
  EXPECT_EQ(table.ClaimLowest(), 0);  // as AppendSlot
  EXPECT_EQ(table.Count(), 1);
  EXPECT_EQ(table.ChangedSlot(), 0);
}

TEST(ScoreTable, FindLowestReadsScoresUnsigned) {
  struct Case {
    const char* name;
    std::vector<int32_t> scores;
    int lowest;
  } cases[] = {
      {"first of equals", {300, 100, 200, 100}, 1},
      {"negative is huge", {300, -5, 100}, 2},
      {"only negatives", {-1, -5, -3}, 1},
      {"zero is lowest", {INT32_MIN, 0, INT32_MAX}, 1},
      {"single", {42}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScoreTable table;
    for (int32_t s : c.scores) table.Entry(table.AppendSlot()).score = s;
    EXPECT_EQ(table.FindLowest(), c.lowest);
    EXPECT_EQ(table.LowestScore(), c.scores[c.lowest]);
  }
}

TEST(ScoreTable, AppendUntilFullThenClaimTheLowest) {
  ScoreTable table = TableOf({900, 800, 700, 500, 600, 650, 750, 500, 850});
  EXPECT_EQ(table.AppendSlot(), 9);  // nine entries: the tenth slot
  table.Entry(9).score = 1;
  EXPECT_EQ(table.Count(), 10);
  EXPECT_EQ(table.AppendSlot(), -1);
  EXPECT_EQ(table.Count(), 10);
  EXPECT_EQ(table.ChangedSlot(), 9);  // a refused append changes nothing
  EXPECT_EQ(table.ClaimLowest(), 9);
  table.Entry(9).score = 1000;
  EXPECT_EQ(table.ClaimLowest(), 3);  // 500 in slots 3 and 7: the lower slot
  EXPECT_EQ(table.ChangedSlot(), 3);
  EXPECT_EQ(table.Count(), 10);
}

TEST(ScoreTable, AdmissionIsSigned) {
  const ScoreTable full = TableOf({900, 800, 700, 500, 600, 650, 750, 500, 850, 950});
  const ScoreTable fullWithNegative = TableOf({900, 800, -5, 100, 600, 650, 750, 550, 850, 950});
  const ScoreTable nine = TableOf({9, 8, 7, 6, 5, 4, 3, 2, 1});
  const ScoreTable empty;
  struct Case {
    const char* name;
    const ScoreTable& table;
    int32_t score;
    bool admitted;
  } cases[] = {
      {"no new score", empty, 0, false},
      {"no new score, full", full, 0, false},
      {"anything enters a table with room", nine, 1, true},
      {"negative enters a table with room", empty, -5, true},
      {"below the lowest of a full table", full, 499, false},
      {"equal to the lowest", full, 500, true},
      {"negative against a full table", full, -5, false},
      {"lowest is read unsigned, compared signed", fullWithNegative, 100, true},
      {"below that lowest", fullWithNegative, 99, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.table.Admits(c.score), c.admitted);
  }
}

TEST(ScoreTable, NegativeScoreIsNeverTheLowestAndRanksLast) {
  ScoreTable table = TableOf({300, 200, 100});
  ASSERT_TRUE(table.Admits(-5));
  const int slot = table.AppendSlot();
  ASSERT_EQ(slot, 3);
  table.Entry(slot).score = -5;
  EXPECT_EQ(table.FindLowest(), 2);
  EXPECT_EQ(table.ClaimLowest(), 2);  // a later newcomer replaces 100, not -5

  std::vector<int32_t> shown = {100, -5, INT32_MAX, 0, INT32_MIN, 300, INT32_MAX - 1};
  std::sort(shown.begin(), shown.end(),
            [](int32_t a, int32_t b) { return CompareForDisplay(a, b) < 0; });
  EXPECT_EQ(shown, (std::vector<int32_t>{INT32_MAX, INT32_MAX - 1, 300, 100, 0, -5, INT32_MIN}));
  // Differences that do not fit 32 bits still rank correctly.
  EXPECT_LT(CompareForDisplay(INT32_MAX, -5), 0);
  EXPECT_GT(CompareForDisplay(INT32_MIN, 1), 0);
  EXPECT_EQ(CompareForDisplay(7, 7), 0);
}

// A table as loaded (nothing changed yet) whose every name fills its field, so that any byte
// left of a replaced entry shows.
ScoreTable LoadedTable(const std::vector<int32_t>& scores) {
  ScoreTable table;
  for (size_t n = 0; n < scores.size(); ++n) {
    ScoreEntry e;
    std::memset(&e, 0, sizeof e);
    for (size_t i = 0; i < kScoreNameLength; ++i)
      e.name[i] = static_cast<Utf16Char>('a' + (n + i) % 26);
    e.score = scores[n];
    e.date = 40000.5 + static_cast<double>(n);
    table.AcceptRecord(EncodeRecord(e));
  }
  return table;
}

bool SameEntry(const ScoreEntry& a, const ScoreEntry& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

using Text = std::basic_string<Utf16Char>;
Text TextOf(const char* ascii) {
  Text text;
  for (; *ascii; ++ascii) text.push_back(static_cast<Utf16Char>(*ascii));
  return text;
}

TEST(ScoreTable, TakeNewEntryFillsTheRightSlotAndNothingElse) {
  const std::vector<int32_t> full = {900, 800, 700, 500, 600, 650, 750, 500, 850, 950};
  const std::vector<int32_t> fullWithNegative = {900, 800, -5, 100, 600, 650, 750, 550, 850, 950};
  struct Case {
    const char* name;
    std::vector<int32_t> stored;
    int32_t score;
    int slot;  // -1: refused
  } cases[] = {
      {"empty table", {}, 100, 0},
      {"room left: the next free slot", {300, 100, 200}, 50, 3},
      {"negative into a table with room", {300, 100, 200}, -5, 3},
      {"nine: the tenth slot", {9, 8, 7, 6, 5, 4, 3, 2, 1}, 1, 9},
      {"full: over the lowest", full, 1000, 3},
      {"full: equal to the lowest, first of equals", full, 500, 3},
      {"full: the lowest read unsigned", fullWithNegative, 100, 3},
      {"full: below the lowest", full, 499, -1},
      {"full: negative", full, -5, -1},
      {"full: below the unsigned lowest", fullWithNegative, 99, -1},
      {"no new score", {300}, 0, -1},
      {"no new score, empty", {}, 0, -1},
  };
  const Text placeholder = TextOf("<Enter name here>");
  const double date = 46000.75;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScoreTable table = LoadedTable(c.stored);
    const ScoreTable before = table;
    ASSERT_EQ(table.Count(), static_cast<int>(c.stored.size()));

    EXPECT_EQ(table.TakeNewEntry(c.score, date, placeholder.c_str()), c.slot);
    const int grown = c.slot == static_cast<int>(c.stored.size()) ? 1 : 0;
    EXPECT_EQ(table.Count(), before.Count() + grown);
    EXPECT_EQ(table.ChangedSlot(), c.slot);
    for (int slot = 0; slot < before.Count(); ++slot) {
      if (slot == c.slot) continue;
      EXPECT_TRUE(SameEntry(table.Entry(slot), before.Entry(slot))) << slot;
    }
    if (c.slot < 0) continue;
    // Nothing of the replaced entry: the placeholder, zeros behind it, the score and the date.
    ScoreEntry expected;
    std::memset(&expected, 0, sizeof expected);
    std::copy(placeholder.begin(), placeholder.end(), expected.name);
    expected.score = c.score;
    expected.date = date;
    EXPECT_TRUE(SameEntry(table.Entry(c.slot), expected));
  }
}

TEST(ScoreTable, TakeNewEntryKeepsTheNameInItsField) {
  const Text longer(40, 'x');
  ScoreTable table = LoadedTable({5});
  ASSERT_EQ(table.TakeNewEntry(7, 1.0, longer.c_str()), 1);
  EXPECT_EQ(Text(table.Entry(1).name), longer.substr(0, kScoreNameLength));
  ASSERT_EQ(table.TakeNewEntry(8, 1.0, nullptr), 2);
  EXPECT_EQ(table.Entry(2).name[0], 0);
}

TEST(ScoreTable, AcceptRecordPacksValidRecordsAndSkipsDamaged) {
  ScoreEntry e = {};
  std::vector<ScoreRecord> stored;
  for (int32_t s : {10, 20, 30, 40}) {
    e.score = s;
    stored.push_back(EncodeRecord(e));
  }
  stored[2][40] ^= 1;  // "2" damaged
  ScoreTable table;
  for (const auto& r : stored) table.AcceptRecord(r);
  ASSERT_EQ(table.Count(), 3);
  EXPECT_EQ(table.Entry(0).score, 10);
  EXPECT_EQ(table.Entry(1).score, 20);
  EXPECT_EQ(table.Entry(2).score, 40);
  EXPECT_EQ(table.ChangedSlot(), -1);

  for (int i = 0; i < 12; ++i) table.AcceptRecord(stored[0]);
  EXPECT_EQ(table.Count(), 10);  // never beyond the capacity
  table.Clear();
  EXPECT_EQ(table.Count(), 0);
}

}  // namespace
