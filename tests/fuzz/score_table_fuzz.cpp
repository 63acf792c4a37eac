// The score table against a plain model: the input is a sequence of operations (load a record,
// offer a new score as the scores box does, claim or append a slot directly, start again), and
// after each one the table must hold exactly what the model holds.
#include <algorithm>
#include <cstring>
#include <vector>

#include "tests/fuzz/fuzz_input.h"
#include "velcore/codec/score_table.h"

namespace {

struct Model {
  std::vector<ScoreEntry> entries;
  int changed = -1;
  // Scores offered since the start while every one was positive and went through admission:
  // the table must then hold the ten best of them.
  std::vector<int32_t> offered;
  bool onlyOffers = true;

  // First of the lowest, reading scores unsigned.
  int Lowest() const {
    if (entries.empty()) return -1;
    int lowest = 0;
    for (int i = 1; i < static_cast<int>(entries.size()); ++i) {
      if (static_cast<uint32_t>(entries[i].score) < static_cast<uint32_t>(entries[lowest].score)) {
        lowest = i;
      }
    }
    return lowest;
  }
};

ScoreEntry MakeEntry(FuzzInput& in, int32_t score) {
  ScoreEntry e;
  std::memset(&e, 0, sizeof e);
  const uint8_t length = in.Byte() % (kScoreNameLength + 1);
  for (size_t i = 0; i < length; ++i) e.name[i] = static_cast<Utf16Char>('A' + i % 26);
  e.score = score;
  e.date = 40000.0 + in.Byte();
  return e;
}

bool Same(const ScoreEntry& a, const ScoreEntry& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

void Compare(const ScoreTable& table, const Model& model) {
  FUZZ_CHECK(table.Count() == static_cast<int>(model.entries.size()));
  FUZZ_CHECK(table.Count() >= 0 && table.Count() <= ScoreTable::kCapacity);
  FUZZ_CHECK(table.ChangedSlot() == model.changed);
  for (int i = 0; i < table.Count(); ++i) FUZZ_CHECK(Same(table.Entry(i), model.entries[i]));
  const int lowest = model.Lowest();
  FUZZ_CHECK(table.FindLowest() == lowest);
  FUZZ_CHECK(table.LowestScore() == (lowest < 0 ? 0 : model.entries[lowest].score));

  // The display ranks by signed score, highest first, consistently for every pair.
  for (const ScoreEntry& a : model.entries) {
    for (const ScoreEntry& b : model.entries) {
      const int64_t diff = int64_t{b.score} - int64_t{a.score};
      const int expected = (diff > 0) - (diff < 0);
      FUZZ_CHECK(CompareForDisplay(a.score, b.score) == expected);
    }
  }

  if (model.onlyOffers) {
    std::vector<int32_t> best = model.offered;
    std::sort(best.begin(), best.end(), [](int32_t a, int32_t b) { return a > b; });
    if (best.size() > ScoreTable::kCapacity) best.resize(ScoreTable::kCapacity);
    std::vector<int32_t> held;
    for (const ScoreEntry& e : model.entries) held.push_back(e.score);
    std::sort(held.begin(), held.end(), [](int32_t a, int32_t b) { return a > b; });
    FUZZ_CHECK(held == best);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  ScoreTable table;
  Model model;
  Compare(table, model);

  for (int step = 0; step < 256 && !in.Empty(); ++step) {
    const int op = in.Byte() % 6;
    switch (op) {
      case 0: {  // a fresh load
        table.Clear();
        model = Model{};
        break;
      }
      case 1: {  // a stored value, valid or with one byte changed
        const ScoreEntry e = MakeEntry(in, static_cast<int32_t>(in.U32()));
        ScoreRecord stored = EncodeRecord(e);
        const uint8_t damage = in.Byte();
        if (damage & 1) stored[damage % kRecordSize] ^= 0x10;
        const bool fits = model.entries.size() < ScoreTable::kCapacity;
        const bool taken = fits && !(damage & 1);
        FUZZ_CHECK(table.AcceptRecord(stored) == taken);
        if (taken) model.entries.push_back(e);
        model.onlyOffers = false;
        break;
      }
      case 2:    // a new score, admitted as the scores box does it
      case 3: {  // the same with a small score, so that ties and the lowest slot come up often
        const int32_t score =
            op == 3 ? static_cast<int32_t>(in.Byte() % 8) - 2 : static_cast<int32_t>(in.U32());
        if (score > 0) model.offered.push_back(score);
        if (score < 0) model.onlyOffers = false;
        const int lowest = model.Lowest();
        const bool full = model.entries.size() >= ScoreTable::kCapacity;
        const bool admitted = score != 0 && (!full || score >= model.entries[lowest].score);
        FUZZ_CHECK(table.Admits(score) == admitted);
        // The new entry holds the placeholder, the score and the date, and nothing else.
        const ScoreEntry e = MakeEntry(in, score);
        const int slot = table.TakeNewEntry(score, e.date, e.name);
        if (!admitted) {
          FUZZ_CHECK(slot == -1);
          break;
        }
        const int expected = full ? lowest : static_cast<int>(model.entries.size());
        FUZZ_CHECK(slot == expected);
        if (full) {
          model.entries[lowest] = e;
        } else {
          model.entries.push_back(e);
        }
        model.changed = expected;
        break;
      }
      case 4: {  // the lowest slot claimed without admission
        const int lowest = model.Lowest();
        const int slot = table.ClaimLowest();
        if (lowest < 0) {
          FUZZ_CHECK(slot == 0);
          model.entries.push_back(ScoreEntry{});
          table.Entry(slot) = ScoreEntry{};
        } else {
          FUZZ_CHECK(slot == lowest);
        }
        model.changed = slot;
        model.onlyOffers = false;
        break;
      }
      case 5: {  // a slot appended without admission
        const int slot = table.AppendSlot();
        if (model.entries.size() < ScoreTable::kCapacity) {
          FUZZ_CHECK(slot == static_cast<int>(model.entries.size()));
          table.Entry(slot) = ScoreEntry{};
          model.entries.push_back(ScoreEntry{});
          model.changed = slot;
        } else {
          FUZZ_CHECK(slot == -1);
        }
        model.onlyOffers = false;
        break;
      }
    }
    Compare(table, model);
  }
  return 0;
}
