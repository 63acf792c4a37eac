// The registry layer against the real registry: what each typed read takes and refuses, what
// the writes store, how far a subkey walk goes, and that a handle is closed exactly once.
#include "ui/registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/registry_values.h"

namespace {

using ui::RegistryKey;
using Bytes = std::vector<BYTE>;

Bytes Text(const std::wstring& text, bool terminated) {
  Bytes bytes((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
  std::memcpy(bytes.data(), text.c_str(), bytes.size());
  return bytes;
}

Bytes Dword(DWORD value) {
  Bytes bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}

class RegistryTest : public ::testing::Test {
 protected:
  void Put(const wchar_t* name, DWORD type, const Bytes& data) { key_.Write(name, type, data); }
  // The test key, opened for reading, once the value is stored in it.
  RegistryKey Holding(const wchar_t* name, DWORD type, const Bytes& data) {
    Put(name, type, data);
    return OpenTest();
  }
  RegistryKey OpenTest(ui::RegistryAccess access = ui::RegistryAccess::kReadSubkeys) const {
    return RegistryKey::Open(HKEY_CURRENT_USER, key_.Path(), access);
  }

  test_support::ScratchKey key_;
};

TEST_F(RegistryTest, DwordIsTakenOnlyAtFourBytes) {
  constexpr DWORD kUntouched = 0xDEADBEEF;
  const struct {
    const char* what;
    DWORD type;
    Bytes data;
    DWORD wanted;
    bool taken;
    DWORD value;
  } cases[] = {
      {"REG_DWORD", REG_DWORD, Dword(0x12345678), RegistryKey::kAnyType, true, 0x12345678},
      {"binary of 4 bytes", REG_BINARY, {9, 0, 0, 0}, RegistryKey::kAnyType, true, 9},
      {"text of 4 bytes", REG_SZ, Text(L"5", true), RegistryKey::kAnyType, true, 0x35},
      {"size 0", REG_DWORD, {}, RegistryKey::kAnyType, false, kUntouched},
      {"size 3", REG_BINARY, {1, 2, 3}, RegistryKey::kAnyType, false, kUntouched},
      {"size 5", REG_BINARY, {1, 2, 3, 4, 5}, RegistryKey::kAnyType, false, kUntouched},
      {"64 KB", REG_BINARY, Bytes(64 * 1024, 7), RegistryKey::kAnyType, false, kUntouched},
      {"REG_DWORD wanted, REG_DWORD", REG_DWORD, Dword(3), REG_DWORD, true, 3},
      {"REG_DWORD wanted, binary", REG_BINARY, Dword(3), REG_DWORD, false, kUntouched},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DWORD value = kUntouched;
    EXPECT_EQ(Holding(L"v", c.type, c.data).ReadDword(L"v", value, c.wanted), c.taken);
    EXPECT_EQ(value, c.value);
  }
  DWORD value = kUntouched;
  EXPECT_FALSE(OpenTest().ReadDword(L"missing", value));
  EXPECT_EQ(value, kUntouched);
}

TEST_F(RegistryTest, TextIsBoundedAndTerminated) {
  const std::wstring longest(255, L'x');
  const std::wstring twelve = L"000,000,1280";
  Bytes odd = Text(L"ab", false);
  odd.push_back('c');
  const struct {
    const char* what;
    DWORD type;
    Bytes data;
    DWORD maxBytes;  // 0: the whole field of 256
    DWORD wanted;
    bool taken;
    std::wstring text;
  } cases[] = {
      {"terminated", REG_SZ, Text(L"Move left", true), 0, RegistryKey::kAnyType, true,
       L"Move left"},
      {"unterminated", REG_SZ, Text(L"Drop", false), 0, RegistryKey::kAnyType, true, L"Drop"},
      {"binary text", REG_BINARY, Text(L"Turn", true), 0, RegistryKey::kAnyType, true, L"Turn"},
      {"empty", REG_SZ, {}, 0, RegistryKey::kAnyType, true, L""},
      {"text after the NUL", REG_SZ, Text(std::wstring(L"ab\0cd", 5), true), 0,
       RegistryKey::kAnyType, true, L"ab"},
      {"odd byte count", REG_SZ, odd, 0, RegistryKey::kAnyType, true, L"ab"},
      {"255 and NUL", REG_SZ, Text(longest, true), 0, RegistryKey::kAnyType, true, longest},
      {"255 unterminated", REG_SZ, Text(longest, false), 0, RegistryKey::kAnyType, true, longest},
      {"256 unterminated", REG_SZ, Text(longest + L"y", false), 0, RegistryKey::kAnyType, false,
       L""},
      {"256 and NUL", REG_SZ, Text(longest + L"y", true), 0, RegistryKey::kAnyType, false, L""},
      {"64 KB", REG_SZ, Bytes(64 * 1024, 0), 0, RegistryKey::kAnyType, false, L""},
      // A field of 13 that takes at most 24 stored bytes.
      {"24 bytes unterminated", REG_SZ, Text(twelve, false), 24, RegistryKey::kAnyType, true,
       twelve},
      {"24 bytes and NUL", REG_SZ, Text(twelve, true), 24, RegistryKey::kAnyType, false, L""},
      {"11 and NUL in 24", REG_SZ, Text(L"0,0,1280000", true), 24, RegistryKey::kAnyType, true,
       L"0,0,1280000"},
      {"REG_SZ wanted, REG_SZ", REG_SZ, Text(L"1,2,3", true), 24, REG_SZ, true, L"1,2,3"},
      {"REG_SZ wanted, binary", REG_BINARY, Text(L"1,2,3", true), 24, REG_SZ, false, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const RegistryKey key = Holding(L"t", c.type, c.data);
    ASSERT_TRUE(key);
    bool taken = false;
    std::wstring text;
    if (c.maxBytes == 0) {
      wchar_t field[256];
      std::wmemset(field, L'?', 256);
      taken = key.ReadText(L"t", field, c.wanted);
      text = field;
    } else {
      wchar_t field[13];
      std::wmemset(field, L'?', 13);
      taken = key.ReadText(L"t", field, c.maxBytes, c.wanted);
      text = field;
    }
    EXPECT_EQ(taken, c.taken);
    EXPECT_EQ(text, c.text);
  }
  wchar_t field[256] = L"stale";
  EXPECT_FALSE(OpenTest().ReadText(L"missing", field));
  EXPECT_EQ(std::wstring(field), L"");
}

TEST_F(RegistryTest, BinaryIsTakenOnlyAtItsExactSize) {
  const struct {
    const char* what;
    DWORD type;
    size_t size;
    DWORD wanted;
    bool taken;
  } cases[] = {
      {"exact", REG_BINARY, 68, REG_BINARY, true},
      {"one short", REG_BINARY, 67, REG_BINARY, false},
      {"one over", REG_BINARY, 69, REG_BINARY, false},
      {"empty", REG_BINARY, 0, REG_BINARY, false},
      {"exact, other type", REG_SZ, 68, REG_BINARY, false},
      {"exact, any type", REG_SZ, 68, RegistryKey::kAnyType, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes stored(c.size);
    for (size_t i = 0; i < stored.size(); ++i) stored[i] = static_cast<BYTE>(i + 1);
    Bytes read(68, 0);
    EXPECT_EQ(Holding(L"b", c.type, stored).ReadBinary(L"b", read, c.wanted), c.taken);
    if (c.taken) {
      EXPECT_EQ(read, stored);
    }
  }
}

TEST_F(RegistryTest, WritesStoreTheirTypeAndBytesAndDeleteRemoves) {
  const RegistryKey key =
      RegistryKey::Create(HKEY_CURRENT_USER, key_.Path(), ui::RegistryAccess::kWrite);
  ASSERT_TRUE(key);
  const BYTE data[] = {1, 2, 3};
  EXPECT_TRUE(key.WriteDword(L"d", 0x12345678));
  EXPECT_TRUE(key.WriteText(L"t", L"ab"));
  EXPECT_TRUE(key.WriteBinary(L"b", data));
  EXPECT_TRUE(key.WriteBinary(L"gone", data));
  EXPECT_TRUE(key.DeleteValue(L"gone"));
  EXPECT_FALSE(key.DeleteValue(L"gone"));

  using Value = test_support::RegistryValue;
  using Values = std::map<std::wstring, Value>;
  const Values expected = {
      {L"d", {REG_DWORD, {0x78, 0x56, 0x34, 0x12}}},
      {L"t", {REG_SZ, {'a', 0, 'b', 0, 0, 0}}},
      {L"b", {REG_BINARY, {1, 2, 3}}},
  };
  auto stored = [&] {
    const auto values = test_support::ReadValues(key.Handle());
    return Values(values.begin(), values.end());
  };
  EXPECT_EQ(stored(), expected);

  // A key opened for reading refuses every write, and says so.
  const RegistryKey reader = OpenTest(ui::RegistryAccess::kRead);
  ASSERT_TRUE(reader);
  EXPECT_FALSE(reader.WriteDword(L"d", 1));
  EXPECT_FALSE(reader.WriteText(L"t", L"x"));
  EXPECT_FALSE(reader.WriteBinary(L"b", data));
  EXPECT_FALSE(reader.DeleteValue(L"d"));
  EXPECT_EQ(stored(), expected);
}

TEST_F(RegistryTest, NoKeyReadsAndWritesNothing) {
  const RegistryKey missing = OpenTest();
  EXPECT_FALSE(missing);
  DWORD value = 5;
  wchar_t text[256] = L"stale";
  BYTE data[4] = {};
  EXPECT_FALSE(missing.ReadDword(L"d", value));
  EXPECT_EQ(value, 5u);
  EXPECT_FALSE(missing.ReadText(L"t", text));
  EXPECT_FALSE(missing.ReadBinary(L"b", data));
  EXPECT_FALSE(missing.WriteDword(L"d", 1));
  EXPECT_FALSE(missing.ForEachSubkey([](const wchar_t*, DWORD) { ADD_FAILURE(); }));
  EXPECT_FALSE(OpenTest());  // still not created
}

TEST_F(RegistryTest, SubkeyWalkStopsAtTheCountedNumber) {
  const RegistryKey key =
      RegistryKey::Create(HKEY_CURRENT_USER, key_.Path(), ui::RegistryAccess::kReadSubkeys);
  ASSERT_TRUE(key);
  auto addSubkey = [&](const std::wstring& name) {
    return RegistryKey::Create(HKEY_CURRENT_USER,
                               (std::wstring(key_.Path()) + L"\\" + name).c_str(),
                               ui::RegistryAccess::kRead);
  };
  const std::wstring names[] = {L"a", L"b", L"c", std::wstring(255, L'n')};
  for (const std::wstring& name : names) ASSERT_TRUE(addSubkey(name));
  // Every visit adds a subkey that sorts first, so the walk would meet a new one at each index
  // and never reach the end; the cap only keeps a broken walk finite.
  std::vector<std::wstring> seen;
  int added = 0;
  const std::optional<DWORD> count = key.ForEachSubkey([&](const wchar_t* name, DWORD length) {
    EXPECT_EQ(std::wcslen(name), length);
    seen.emplace_back(name, length);
    if (added < 100) {
      const std::wstring grown = L"0" + std::to_wstring(1000 - ++added);
      addSubkey(grown);
    }
  });
  ASSERT_TRUE(count);
  EXPECT_EQ(*count, 4u);
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_EQ(added, 4);
}

TEST_F(RegistryTest, AHandleIsClosedOnceByItsLastOwner) {
  ASSERT_TRUE(RegistryKey::Create(HKEY_CURRENT_USER, key_.Path(), ui::RegistryAccess::kWrite)
                  .WriteDword(L"d", 7));
  auto readable = [](HKEY key) {
    DWORD size = 0;
    return RegQueryValueExW(key, L"d", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
  };

  RegistryKey owner;
  HKEY raw = nullptr;
  {
    RegistryKey first = OpenTest();
    raw = first.Handle();
    ASSERT_TRUE(readable(raw));
    owner = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(owner.Handle(), raw);
  }  // the moved-from handle goes here without closing the key
  EXPECT_TRUE(readable(raw));

  RegistryKey second = OpenTest();
  const HKEY secondRaw = second.Handle();
  owner = std::move(second);  // closes the first key, takes over the second
  EXPECT_FALSE(readable(raw));
  EXPECT_TRUE(readable(secondRaw));

  RegistryKey third(std::move(owner));
  EXPECT_FALSE(owner);
  EXPECT_TRUE(readable(secondRaw));
  third.Close();
  EXPECT_FALSE(third);
  EXPECT_FALSE(readable(secondRaw));
  third.Close();  // nothing left to close
}

}  // namespace
