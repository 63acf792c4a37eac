#include "velcore/codec/score_table.h"

#include <cstring>

void ScoreTable::Clear() {
  count_ = 0;
  changedSlot_ = -1;
}

bool ScoreTable::AcceptRecord(const ScoreRecord& stored, int storedAs) {
  if (count_ >= kCapacity) return false;
  if (!DecodeRecord(stored, entries_[count_])) return false;
  const bool known = storedAs >= 0 && storedAs < kCapacity;
  storedAs_[count_++] = static_cast<int8_t>(known ? storedAs : -1);
  return true;
}

uint16_t ScoreTable::TakenFrom() const {
  uint16_t taken = 0;
  for (int slot = 0; slot < count_; ++slot) {
    if (storedAs_[slot] >= 0) taken |= static_cast<uint16_t>(1u << storedAs_[slot]);
  }
  return taken;
}

int ScoreTable::FindLowest() const {
  if (count_ == 0) return -1;
  int lowest = 0;
  for (int slot = 1; slot < count_; ++slot) {
    if (static_cast<uint32_t>(entries_[slot].score) <
        static_cast<uint32_t>(entries_[lowest].score)) {
      lowest = slot;
    }
  }
  return lowest;
}

int32_t ScoreTable::LowestScore() const {
  const int slot = FindLowest();
  return slot < 0 ? 0 : entries_[slot].score;
}

int ScoreTable::AppendSlot() {
  if (count_ >= kCapacity) return -1;
  storedAs_[count_] = -1;
  changedSlot_ = count_++;
  return changedSlot_;
}

int ScoreTable::ClaimLowest() {
  if (count_ == 0) return AppendSlot();
  changedSlot_ = FindLowest();
  return changedSlot_;
}

bool ScoreTable::Admits(int32_t newScore) const {
  if (newScore == 0) return false;
  return count_ < kCapacity || newScore >= LowestScore();
}

int ScoreTable::TakeNewEntry(int32_t score, double date, const Utf16Char* placeholder) {
  if (!Admits(score)) return -1;
  int slot = AppendSlot();
  if (slot < 0) slot = ClaimLowest();
  ScoreEntry& entry = entries_[slot];
  std::memset(&entry, 0, sizeof entry);  // nothing of the replaced entry is kept
  entry.SetName(placeholder);
  entry.score = score;
  entry.date = date;
  return slot;
}

int CompareForDisplay(int32_t first, int32_t second) {
  return (second > first) - (second < first);
}
