#include "velcore/codec/score_entry.h"

void ScoreEntry::SetName(const Utf16Char* text) {
  size_t n = 0;
  if (text) {
    for (; n < kScoreNameLength && text[n] != 0; ++n) name[n] = text[n];
  }
  // Zeros after the NUL too: nothing of an earlier name is stored behind the new one.
  for (; n <= kScoreNameLength; ++n) name[n] = 0;
}

void ScoreEntry::TerminateName() {
  for (Utf16Char c : name) {
    if (c == 0) return;
  }
  name[kScoreNameLength] = 0;
}
