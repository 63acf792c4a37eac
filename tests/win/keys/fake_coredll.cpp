// Stands in for the handheld's core library in the key tests: it records the buttons that the
// key target takes from the shell. Built into a folder of its own, so that it is found only
// when a test adds that folder to the search path.
#include <windows.h>

namespace {

constexpr int kMaxCalls = 64;
UINT calls[kMaxCalls][2];
int callCount = 0;

}  // namespace

extern "C" BOOL WINAPI UnregisterFunc1(UINT modifiers, UINT id) {
  if (callCount < kMaxCalls) {
    calls[callCount][0] = modifiers;
    calls[callCount][1] = id;
    ++callCount;
  }
  return TRUE;
}

// Copies the recorded calls as (modifiers, id) pairs, forgets them, and returns how many there
// were.
extern "C" int WINAPI TakeUnregisterCalls(UINT (*out)[2], int capacity) {
  const int count = callCount;
  for (int i = 0; i < count && i < capacity; ++i) {
    out[i][0] = calls[i][0];
    out[i][1] = calls[i][1];
  }
  callCount = 0;
  return count;
}
