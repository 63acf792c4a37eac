#pragma once
// The ten best games. Slot order is the order of loading and arrival, never rank: the table is
// ranked only when it is shown. FindLowest reads scores unsigned, the admission of a new score
// and the ranking read them signed; stored tables of the maker's other games rely on both.
#include <array>
#include <cstdint>

#include "velcore/codec/score_entry.h"
#include "velcore/codec/score_record.h"

class ScoreTable {
 public:
  static constexpr int kCapacity = 10;

  // Empties the table; nothing has changed since.
  void Clear();
  // Takes a stored record into the next free slot when its checksum matches; storedAs (0 to
  // kCapacity - 1) names the place it was stored under, for TakenFrom and StoredAs.
  bool AcceptRecord(const ScoreRecord& stored, int storedAs = -1);

  int Count() const { return count_; }
  int ChangedSlot() const { return changedSlot_; }
  // Bit n: a record stored as n was taken in since the last Clear.
  uint16_t TakenFrom() const;
  // The place the slot's record was stored under, or -1 for a slot that AppendSlot added.
  int StoredAs(int slot) const { return storedAs_[slot]; }
  // The table is stored as it stands: nothing has changed since.
  void MarkSaved() { changedSlot_ = -1; }
  ScoreEntry& Entry(int slot) { return entries_[slot]; }
  const ScoreEntry& Entry(int slot) const { return entries_[slot]; }

  // The slot of the lowest score (unsigned; the first of equals), or -1 when empty.
  int FindLowest() const;
  // The score FindLowest names, or 0 when empty.
  int32_t LowestScore() const;
  // The next free slot, marked as changed, or -1 when the table is full.
  int AppendSlot();
  // The lowest entry's slot, marked as changed; on an empty table the same as AppendSlot.
  int ClaimLowest();
  // Whether a new score enters: not 0, and the table has room or the score is not below the
  // lowest (signed).
  bool Admits(int32_t newScore) const;
  // Takes an admitted score into the next free slot, or else over the lowest entry, of which
  // nothing is kept; the name is the placeholder the player then edits, the date the moment of
  // the game (an OLE Automation date). The slot, marked as changed, or -1 when refused.
  int TakeNewEntry(int32_t score, double date, const Utf16Char* placeholder);

 private:
  std::array<ScoreEntry, kCapacity> entries_ = {};
  int count_ = 0;
  int changedSlot_ = -1;
  std::array<int8_t, kCapacity> storedAs_ = {};
};

// Ranking for display, highest first: negative when first goes above second. Signed, and safe
// from overflow for any two scores.
int CompareForDisplay(int32_t first, int32_t second);
