#pragma once
// A registry key of the running test under HKEY_CURRENT_USER, removed with everything in it when
// the test ends, and the raw values of a score table in it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/registry_values.h"
#include "velcore/codec/score_record.h"

inline ScoreEntry MakeEntry(const wchar_t* name, int32_t score, double date = 45292.0) {
  ScoreEntry e;
  std::memset(&e, 0, sizeof e);
  e.SetName(name);
  e.score = score;
  e.date = date;
  return e;
}

inline bool SameEntry(const ScoreEntry& a, const ScoreEntry& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

using RawValue = test_support::RegistryValue;

class TestKey {
 public:
  TestKey() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = L"Software\\Velmora\\TalvenorTests\\";
    for (const char* p = info->test_suite_name(); *p; ++p) path_.push_back(*p);
    path_.push_back(L'.');
    for (const char* p = info->name(); *p; ++p) path_.push_back(*p == '/' ? L'_' : *p);
    Clear();
  }
  ~TestKey() { Clear(); }
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;

  const wchar_t* Path() const { return path_.c_str(); }
  void Clear() const { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

  void Write(const wchar_t* name, DWORD type, const void* data, DWORD size) const {
    test_support::WriteValue(HKEY_CURRENT_USER, path_, name, type, data, size);
  }
  void WriteEntry(int slot, const ScoreEntry& entry) const {
    const ScoreRecord stored = EncodeRecord(entry);
    Write(std::to_wstring(slot).c_str(), REG_BINARY, stored.data(), kRecordSize);
  }

  bool Exists() const { return test_support::KeyExists(HKEY_CURRENT_USER, path_); }
  // Every value of the key by name, "0" to "9" and anything else.
  std::vector<std::pair<std::wstring, RawValue>> Values() const {
    std::vector<std::pair<std::wstring, RawValue>> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return values;
    }
    values = test_support::ReadValues(key);
    RegCloseKey(key);
    return values;
  }
  std::vector<std::wstring> ValueNames() const {
    std::vector<std::wstring> names;
    for (const auto& v : Values()) names.push_back(v.first);
    return names;
  }
  // The entry stored under a slot number, decoded with the record codec.
  std::optional<ScoreEntry> ReadEntry(int slot) const {
    for (const auto& [name, value] : Values()) {
      if (name != std::to_wstring(slot)) continue;
      if (value.type != REG_BINARY || value.bytes.size() != kRecordSize) return std::nullopt;
      ScoreRecord stored;
      std::memcpy(stored.data(), value.bytes.data(), kRecordSize);
      ScoreEntry entry;
      if (!DecodeRecord(stored, entry)) return std::nullopt;
      return entry;
    }
    return std::nullopt;
  }

 private:
  std::wstring path_;
};
