#pragma once
// One finished game, byte for byte as it is stored (little-endian).
#include <cstddef>
#include <cstdint>

#include "ui/utf16.h"

constexpr size_t kScoreNameLength = 25;  // characters; the field holds one more for the NUL

struct ScoreEntry {
  Utf16Char name[kScoreNameLength + 1];
  int32_t score;
  double date;  // local time as an OLE Automation date

  // Copies at most kScoreNameLength characters of text; the rest of the field is zero.
  void SetName(const Utf16Char* text);
  // Ends the name inside the field when a stored record carries no NUL there.
  void TerminateName();
};

static_assert(sizeof(ScoreEntry) == 64);
static_assert(offsetof(ScoreEntry, name) == 0);
static_assert(offsetof(ScoreEntry, score) == 52);
static_assert(offsetof(ScoreEntry, date) == 56);
