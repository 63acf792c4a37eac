// Talvex.exe against registry data that players, registry tools and other programs of the maker
// may have written: one table of hostile cases per store. Every case plays a whole round (start,
// a piece, Options with the key setup, Scores, About, a game to its end, exit) and compares the
// stores before and after: good values stay byte for byte, and nothing is written that the game
// did not read or the player did not choose.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "key_map_defaults.h"
#include "registry_backup.h"
#include "talvex_process.h"
#include "tests/support/registry_values.h"
#include "velcore/codec/score_record.h"

namespace {

constexpr wchar_t kKeysKey[] = L"Software\\Velmora\\Gravlin\\Keys";
constexpr wchar_t kLinkKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
constexpr wchar_t kPlayer[] = L"Hostile E2E";
constexpr DWORD kStartTimeout = 15000;

using Bytes = std::vector<BYTE>;

using Value = test_support::RegistryValue;
// Every key of a tree by its path below the top ("" for the top itself), with its values.
using Tree = std::map<std::wstring, std::map<std::wstring, Value>>;

void ReadKey(HKEY key, const std::wstring& path, bool recursive, Tree& tree) {
  auto& values = tree[path];
  for (auto& [name, value] : test_support::ReadValues(key)) values[name] = std::move(value);
  if (!recursive) return;
  for (DWORD i = 0;; ++i) {
    wchar_t subkey[1024];
    DWORD length = 1024;
    if (RegEnumKeyExW(key, i, subkey, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    HKEY child = nullptr;
    if (RegOpenKeyExW(key, subkey, 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
    ReadKey(child, path.empty() ? subkey : path + L"\\" + subkey, true, tree);
    RegCloseKey(child);
  }
}

Tree ReadTree(const wchar_t* path, bool recursive = true) {
  Tree tree;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return tree;
  ReadKey(key, L"", recursive, tree);
  RegCloseKey(key);
  return tree;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text.substr(0, 40)) out += c < 128 ? static_cast<char>(c) : '?';
  if (text.size() > 40) out += "...(" + std::to_string(text.size()) + " chars)";
  return out;
}

// What differs between two trees, for a failure message; empty when they are equal.
std::string Differences(const Tree& before, const Tree& after) {
  std::string out;
  int shown = 0;
  auto note = [&](const std::wstring& key, const std::wstring& name, const char* what) {
    if (++shown <= 8) out += "  [" + Narrow(key) + "] \"" + Narrow(name) + "\": " + what + "\n";
  };
  for (const auto& [key, values] : before) {
    auto other = after.find(key);
    if (other == after.end()) {
      note(key, L"", "key removed");
      continue;
    }
    for (const auto& [name, value] : values) {
      auto found = other->second.find(name);
      if (found == other->second.end()) {
        note(key, name, "removed");
      } else if (!(found->second == value)) {
        note(key, name, "changed");
      }
    }
    for (const auto& [name, value] : other->second) {
      if (!values.count(name)) note(key, name, "added");
    }
  }
  for (const auto& [key, values] : after) {
    if (!before.count(key)) note(key, L"", "key added");
  }
  if (shown > 8) out += "  and " + std::to_string(shown - 8) + " more\n";
  return out;
}

// Writing hostile data.
void Put(const std::wstring& path, const std::wstring& name, DWORD type, const Bytes& data) {
  test_support::WriteValue(HKEY_CURRENT_USER, path, name.c_str(), type, data.data(),
                           static_cast<DWORD>(data.size()));
}
Bytes Dword(DWORD value) {
  Bytes bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}
// UTF-16 text, with its terminator unless told.
Bytes Text(const std::wstring& text, bool terminated = true) {
  Bytes bytes((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
  std::memcpy(bytes.data(), text.c_str(), bytes.size());
  return bytes;
}
Bytes Filled(size_t size, BYTE fill = 0x39) {
  return Bytes(size, fill);
}
constexpr size_t k64K = 64 * 1024;

// The stores' good contents, written before every case's hostile values.
std::wstring ActionPath(const std::wstring& subkey) {
  return std::wstring(kKeysKey) + L"\\" + subkey;
}
void PutAction(const std::wstring& subkey, DWORD id, DWORD code, const wchar_t* name) {
  Put(ActionPath(subkey), L"Id", REG_DWORD, Dword(id));
  Put(ActionPath(subkey), L"Code", REG_DWORD, Dword(code));
  Put(ActionPath(subkey), L"Name", REG_SZ, Text(name));
}
// The installed key map, as the installer writes it from install/keys.reg.
void PutDefaultKeys() {
  EXPECT_TRUE(StoreKeyMapDefaults());
}
Bytes Record(const wchar_t* name, int32_t score) {
  ScoreEntry entry;
  std::memset(&entry, 0, sizeof entry);
  entry.SetName(name);
  entry.score = score;
  entry.date = 45292.5;
  const ScoreRecord stored = EncodeRecord(entry);
  return Bytes(stored.begin(), stored.end());
}
void PutScore(const std::wstring& name, const Bytes& data, DWORD type = REG_BINARY) {
  Put(kScoreKey, name, type, data);
}

struct Case {
  const char* name;
  std::function<void()> write;
};

// Options: the three numbers are taken only as 4-byte values, the level only below 10. A value
// of another program in the key stays as it is.
const std::vector<Case> kOptionCases = {
    {"wrong types: texts of 4 bytes and of 6",
     [] {
       Put(kOptionsKey, L"InitialLevel", REG_SZ, Text(L"5"));  // 4 bytes: 0x35, too high
       Put(kOptionsKey, L"ShowPreview", REG_SZ, Text(L"0"));   // 0x30: on
       Put(kOptionsKey, L"PlaySound", REG_SZ, Text(L"10"));    // 6 bytes: unread
     }},
    {"sizes 0, 1 and 3",
     [] {
       Put(kOptionsKey, L"InitialLevel", REG_DWORD, {});
       Put(kOptionsKey, L"ShowPreview", REG_BINARY, Filled(1, 0));
       Put(kOptionsKey, L"PlaySound", REG_BINARY, Filled(3, 0));
     }},
    {"sizes 5, 67 and 69",
     [] {
       Put(kOptionsKey, L"InitialLevel", REG_BINARY, Filled(5, 2));
       Put(kOptionsKey, L"ShowPreview", REG_BINARY, Filled(67, 0));
       Put(kOptionsKey, L"PlaySound", REG_BINARY, Filled(69, 0));
     }},
    {"64 KB, and unterminated text",
     [] {
       Put(kOptionsKey, L"InitialLevel", REG_BINARY, Filled(k64K, 3));
       Put(kOptionsKey, L"PlaySound", REG_SZ, Filled(k64K, 0));
       Put(kOptionsKey, L"ShowPreview", REG_SZ, Text(L"off", false));
     }},
    {"InitialLevel negative; switches 0 and 2",
     [] {
       Put(kOptionsKey, L"InitialLevel", REG_DWORD, Dword(static_cast<DWORD>(-1)));
       Put(kOptionsKey, L"ShowPreview", REG_DWORD, Dword(0));
       Put(kOptionsKey, L"PlaySound", REG_DWORD, Dword(2));
     }},
    {"InitialLevel huge, as an 8-byte number",
     [] {
       Put(kOptionsKey, L"InitialLevel", REG_DWORD, Dword(0x7FFFFFFF));
       Bytes eight = Dword(4);
       eight.resize(8);
       Put(kOptionsKey, L"ShowPreview", REG_QWORD, eight);
     }},
    {"InitialLevel 9 as binary, PlaySound 10",
     [] {
       Put(kOptionsKey, L"InitialLevel", REG_BINARY, Dword(9));  // any type of 4 bytes is taken
       Put(kOptionsKey, L"PlaySound", REG_DWORD, Dword(10));
     }},
};

// The key map: only "Code" is ever written, and only where it was read or assigned.
const std::vector<Case> kKeyCases = {
    {"wrong types",
     [] {
       Put(ActionPath(L"Action0"), L"Code", REG_SZ, Text(L"39"));
       Put(ActionPath(L"Action1"), L"Id", REG_SZ, Text(L"1"));  // 4 bytes: Id 0x31
       Put(ActionPath(L"Action2"), L"Name", REG_DWORD, Dword(2));
       Put(ActionPath(L"Action3"), L"Code", REG_BINARY, Dword(VK_DOWN));
     }},
    {"sizes 0, 1, 3 and 5",
     [] {
       Put(ActionPath(L"Action0"), L"Code", REG_DWORD, {});
       Put(ActionPath(L"Action1"), L"Code", REG_BINARY, Filled(1));
       Put(ActionPath(L"Action2"), L"Code", REG_BINARY, Filled(3));
       Put(ActionPath(L"Action3"), L"Id", REG_BINARY, Filled(5));
     }},
    {"sizes 67, 69 and 64 KB",
     [] {
       Put(ActionPath(L"Action0"), L"Code", REG_BINARY, Filled(67));
       Put(ActionPath(L"Action1"), L"Name", REG_SZ, Filled(69, 0x41));
       Put(ActionPath(L"Action2"), L"Name", REG_SZ, Filled(k64K, 0x41));
       Put(ActionPath(L"Action3"), L"Code", REG_BINARY, Filled(k64K));
     }},
    {"unterminated names of 255 and 256 characters, missing values",
     [] {
       Put(ActionPath(L"Action0"), L"Name", REG_SZ, Text(std::wstring(255, L'n'), false));
       Put(ActionPath(L"Action1"), L"Name", REG_SZ, Text(std::wstring(256, L'n'), false));
       RegDeleteKeyValueW(HKEY_CURRENT_USER, ActionPath(L"Action2").c_str(), L"Code");
       RegDeleteKeyValueW(HKEY_CURRENT_USER, ActionPath(L"Action3").c_str(), L"Id");
     }},
    {"1000 action subkeys",
     [] {
       for (int i = 0; i < 1000; ++i) {
         wchar_t subkey[16];
         std::swprintf(subkey, 16, L"Extra%04d", i);
         PutAction(subkey, i % 5, 0x41 + i % 26, L"Extra");
       }
     }},
    {"subkey names of 255 characters and more",
     [] {
       for (size_t length : {255, 256, 300, 1000}) {
         HKEY key = nullptr;
         const std::wstring path = ActionPath(std::wstring(length, L'k'));
         // The registry may refuse the longer names; what it takes is played against.
         if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr) != ERROR_SUCCESS) {
           continue;
         }
         RegCloseKey(key);
         Put(path, L"Id", REG_DWORD, Dword(1));
         Put(path, L"Code", REG_DWORD, Dword('L'));
       }
     }},
    {"ids and codes out of range",
     [] {
       PutAction(L"Huge", 1000, 'A', L"Huge id");
       PutAction(L"Negative", static_cast<DWORD>(-5), 'B', L"Negative id");
       PutAction(L"Max", 0x7FFFFFFF, 0x1000, L"Largest id");
       PutAction(L"Unread", 2, static_cast<DWORD>(-1), L"Code -1");
       PutAction(L"High", 2, 0x80000000, L"Code 0x80000000");
     }},
};

// The score table: values "0" to "9", each a scrambled 68-byte REG_BINARY record.
const std::vector<Case> kScoreCases = {
    {"wrong types",
     [] {
       PutScore(L"0", Text(L"1000"), REG_SZ);
       PutScore(L"1", Record(L"As dword", 700), REG_DWORD);
       PutScore(L"2", Record(L"Good", 50));
       PutScore(L"Other", Text(L"another program's"), REG_SZ);
     }},
    {"sizes 0, 1, 3 and 5",
     [] {
       PutScore(L"0", {});
       PutScore(L"1", Filled(1));
       PutScore(L"2", Filled(3));
       PutScore(L"3", Filled(5));
       PutScore(L"4", Record(L"After four bad", 60));
     }},
    {"sizes 67, 69 and 64 KB",
     [] {
       Bytes shorter = Record(L"Short", 800), longer = Record(L"Long", 900);
       shorter.pop_back();
       longer.push_back(0);
       PutScore(L"0", shorter);
       PutScore(L"1", longer);
       PutScore(L"2", Filled(k64K));
       PutScore(L"7", Record(L"Seventh", 70));
     }},
    {"a name without terminator, a wrong checksum",
     [] {
       ScoreEntry entry;
       std::memset(&entry, 'x', sizeof entry.name);
       entry.score = 80;
       entry.date = 45292.5;
       const ScoreRecord stored = EncodeRecord(entry);
       PutScore(L"0", Bytes(stored.begin(), stored.end()));
       Bytes damaged = Record(L"Damaged", 5000);
       damaged[30] ^= 1;
       PutScore(L"1", damaged);
     }},
    {"scores negative and huge",
     [] {
       PutScore(L"0", Record(L"Lowest", INT_MIN));
       PutScore(L"1", Record(L"Negative", -5));
       PutScore(L"2", Record(L"Highest", INT_MAX));
     }},
    {"full table of better scores, names beyond 9",
     [] {
       for (int n = 0; n < 10; ++n) PutScore(std::to_wstring(n), Record(L"Better", 100000 + n));
       for (const wchar_t* name : {L"10", L"-1", L"00", L"9 "}) PutScore(name, Record(L"No", 1));
     }},
};

// The browser's link colours, read by the About box and never written.
const std::vector<Case> kLinkCases = {
    {"wrong types",
     [] {
       Put(kLinkKey, L"Anchor Color", REG_DWORD, Dword(0xFF00));
       Put(kLinkKey, L"Anchor Color Visited", REG_BINARY, Text(L"0,0,128"));
     }},
    {"sizes 0 and 3",
     [] {
       Put(kLinkKey, L"Anchor Color", REG_SZ, {});
       Put(kLinkKey, L"Anchor Color Visited", REG_SZ, Filled(3, '1'));
     }},
    {"sizes 1 and 69",
     [] {
       Put(kLinkKey, L"Anchor Color", REG_SZ, Filled(1, '1'));
       Put(kLinkKey, L"Anchor Color Visited", REG_SZ, Filled(69, ','));
     }},
    {"sizes 5 and 67",
     [] {
       Put(kLinkKey, L"Anchor Color", REG_SZ, Filled(5, '1'));
       Put(kLinkKey, L"Anchor Color Visited", REG_BINARY, Filled(67, '9'));
     }},
    {"64 KB",
     [] {
       std::wstring text;
       while (text.size() < k64K / 2) text += L"255,";
       Put(kLinkKey, L"Anchor Color", REG_SZ, Text(text, false));
       Put(kLinkKey, L"Anchor Color Visited", REG_BINARY, Filled(k64K));
     }},
    {"unterminated text that fills the buffer",
     [] {
       Put(kLinkKey, L"Anchor Color", REG_SZ, Text(L"000,000,1280", false));  // 24 bytes
       Put(kLinkKey, L"Anchor Color Visited", REG_SZ, Text(L"0,0,", false));
     }},
    {"numbers out of range, commas only",
     [] {
       Put(kLinkKey, L"Anchor Color", REG_SZ, Text(L"99999999999,-5,2147483648"));
       Put(kLinkKey, L"Anchor Color Visited", REG_SZ, Text(L",,"));
     }},
};

// The settings the game should run with, read from the Options key as it was.
struct Settings {
  DWORD level = 0;
  bool preview = true, sound = true;
};
Settings ExpectedSettings(const Tree& options) {
  Settings settings;
  auto number = [&](const wchar_t* name, DWORD& out) {
    auto top = options.find(L"");
    if (top == options.end()) return false;
    auto value = top->second.find(name);
    if (value == top->second.end()) return false;
    const std::optional<DWORD> stored = test_support::DwordOf(value->second);
    if (stored) out = *stored;
    return stored.has_value();
  };
  DWORD n = 0;
  if (number(L"InitialLevel", n) && n < 10) settings.level = n;
  if (number(L"ShowPreview", n)) settings.preview = n != 0;
  if (number(L"PlaySound", n)) settings.sound = n != 0;
  return settings;
}

// The records among "0" to "9" that the table takes, in number order, as a save writes them
// back: byte for byte, but for a name stored without its terminator, which gets one.
// The record a slot value holds, as the table writes it back; none when the table skips it.
std::optional<Bytes> GoodRecord(const Value& value) {
  if (value.type != REG_BINARY || value.bytes.size() != kRecordSize) return std::nullopt;
  ScoreRecord stored;
  ScoreEntry entry;
  std::memcpy(stored.data(), value.bytes.data(), kRecordSize);
  if (!DecodeRecord(stored, entry)) return std::nullopt;
  const ScoreRecord written = EncodeRecord(entry);
  return Bytes(written.begin(), written.end());
}

std::vector<Bytes> GoodRecords(const Tree& score) {
  std::vector<Bytes> records;
  auto top = score.find(L"");
  if (top == score.end()) return records;
  for (int n = 0; n < 10; ++n) {
    auto value = top->second.find(std::to_wstring(n));
    if (value == top->second.end()) continue;
    if (auto record = GoodRecord(value->second)) records.push_back(*record);
  }
  return records;
}

// Where a save puts a new entry into the stored values of the Score key.
std::wstring NewEntryNumber(const std::map<std::wstring, Value>& values) {
  std::vector<int> good;
  uint32_t lowest = 0;
  int lowestAt = -1;
  for (int n = 0; n < 10; ++n) {
    auto value = values.find(std::to_wstring(n));
    if (value == values.end() || !GoodRecord(value->second)) continue;
    good.push_back(n);
    ScoreRecord stored;
    ScoreEntry entry;
    std::memcpy(stored.data(), value->second.bytes.data(), kRecordSize);
    DecodeRecord(stored, entry);
    if (lowestAt < 0 || static_cast<uint32_t>(entry.score) < lowest) {
      lowest = static_cast<uint32_t>(entry.score);
      lowestAt = n;
    }
  }
  if (good.size() == 10) return std::to_wstring(lowestAt);
  auto isGood = [&](int n) { return std::find(good.begin(), good.end(), n) != good.end(); };
  for (int n = 0; n < 10; ++n) {
    if (!isGood(n) && !values.count(std::to_wstring(n))) return std::to_wstring(n);
  }
  for (int n = 0; n < 10; ++n) {
    if (!isGood(n)) return std::to_wstring(n);
  }
  return L"";
}

struct Stores {
  Tree options, keys, score, link, root;
};
Stores ReadStores() {
  return {ReadTree(kOptionsKey), ReadTree(kKeysKey), ReadTree(kScoreKey), ReadTree(kLinkKey),
          ReadTree(L"", false)};
}

struct Outcome {
  std::wstring levelShown;
  bool enteredTable = false;
  std::wstring finalScore;
};

// One round of play against whatever the registry holds.
void PlayRound(Outcome& outcome) {
  TalvexProcess game;
  ASSERT_TRUE(game.Start());
  HWND frame = game.WaitForFrame(kStartTimeout);
  ASSERT_NE(frame, nullptr) << "no frame";
  outcome.levelShown = LabelTexts(frame)[1];

  PressButton(frame, ActionDrop);
  ReleaseButton(frame, ActionDrop);
  const HWND scoreLabel = Labels(frame)[3];
  ASSERT_TRUE(PumpUntil(5000, [&] { return WindowText(scoreLabel) != L"0"; })) << "no piece";
  // Keys as the hostile key maps name them, translated by the library's hook.
  for (WPARAM code : {WPARAM{VK_LEFT}, WPARAM{'A'}, WPARAM{'B'}, WPARAM{'L'}, WPARAM{0x1000},
                      WPARAM{0x80000000u}}) {
    PostMessageW(frame, WM_KEYDOWN, code, 1);
    PostMessageW(frame, WM_KEYUP, code, 0xC0000001);
  }

  Command(frame, IDM_OPTIONS);
  HWND options = game.WaitForDialog(5000, L"Options");
  ASSERT_NE(options, nullptr) << "no Options";
  PostMessageW(options, WM_COMMAND, MAKEWPARAM(IDC_SETUP_KEYS, BN_CLICKED), 0);
  HWND keys = game.WaitForDialog(10000, L"Setup keys");
  ASSERT_NE(keys, nullptr) << "no Setup keys";
  CloseWithOk(keys);
  ASSERT_TRUE(PumpUntil(10000, [&] { return !IsWindow(keys); }));
  CloseWithOk(options);
  ASSERT_TRUE(PumpUntil(5000, [&] { return !IsWindow(options); }));

  for (const auto& [command, caption] :
       {std::pair{IDM_SCORES, L"Scores"}, std::pair{IDM_ABOUT, L"About Talvenor"}}) {
    Command(frame, command);
    HWND dialog = game.WaitForDialog(5000, caption);
    ASSERT_NE(dialog, nullptr) << "no " << Narrow(caption);
    CloseWithOk(dialog);
    ASSERT_TRUE(PumpUntil(5000, [&] { return !IsWindow(dialog); }));
  }

  HWND shown = PlayToTheEnd(game, frame, outcome.finalScore);
  ASSERT_NE(shown, nullptr) << "the game did not end";
  outcome.enteredTable = GetDlgItem(shown, 1006) != nullptr;
  ASSERT_TRUE(AnswerGameEnd(shown, kPlayer));
  if (outcome.enteredTable) {
    EXPECT_EQ(game.WaitForDialog(700), nullptr);
  }
  EXPECT_EQ(game.Exit(), 0u);
}

const Case* CaseAt(const std::vector<Case>& table, size_t round) {
  return round < table.size() ? &table[round] : nullptr;
}

class HostileRegistryTest : public ::testing::Test {
 protected:
  RegistryBackup game_;
  RegistryBackup link_{kLinkKey};
};

// The i-th case of every store's table shares one game, so the whole table takes as many games
// as the longest store table has cases; each store is judged on its own.
TEST_F(HostileRegistryTest, EveryStoreSurvivesAndKeepsWhatIsGood) {
  const size_t rounds =
      std::max({kOptionCases.size(), kKeyCases.size(), kScoreCases.size(), kLinkCases.size()});
  for (size_t round = 0; round < rounds; ++round) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kGameKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kLinkKey);
    Put(kOptionsKey, L"Foreign", REG_SZ, Text(L"kept by another program"));
    PutDefaultKeys();
    PutScore(L"9", Record(L"Ninth", 90));
    Put(kLinkKey, L"Anchor Color Hover", REG_SZ, Text(L"0,128,0"));
    const Case* cases[] = {CaseAt(kOptionCases, round), CaseAt(kKeyCases, round),
                           CaseAt(kScoreCases, round), CaseAt(kLinkCases, round)};
    std::string names;
    for (const Case* c : cases) {
      if (!c) continue;
      c->write();
      names += std::string(names.empty() ? "" : " | ") + c->name;
    }
    SCOPED_TRACE("round " + std::to_string(round) + ": " + names);

    const Stores before = ReadStores();
    Outcome outcome;
    PlayRound(outcome);
    const Stores after = ReadStores();

    // Options: what was shown and stored is what could be read; another program's value stays.
    const Settings settings = ExpectedSettings(before.options);
    EXPECT_EQ(outcome.levelShown, std::to_wstring(settings.level + 1));
    Tree options = before.options;
    options[L""][L"InitialLevel"] = {REG_DWORD, Dword(settings.level)};
    options[L""][L"ShowPreview"] = {REG_DWORD, Dword(settings.preview)};
    options[L""][L"PlaySound"] = {REG_DWORD, Dword(settings.sound)};
    // On this desktop-sized screen the run also keeps the window's place, in a value of its own.
    const auto& afterOptions = after.options.find(L"")->second;
    const auto placement = afterOptions.find(L"WindowPlacement");
    ASSERT_NE(placement, afterOptions.end());
    EXPECT_EQ(placement->second.type, DWORD{REG_BINARY});
    EXPECT_EQ(placement->second.bytes.size(), 20u);
    options[L""][L"WindowPlacement"] = placement->second;
    EXPECT_EQ(after.options, options) << "Options:\n" << Differences(options, after.options);

    // Keys: a Code that was read may come back as REG_DWORD with the same four bytes.
    Tree keys = before.keys;
    for (auto& [path, values] : keys) {
      auto code = values.find(L"Code");
      if (code != values.end() && code->second.bytes.size() == 4) code->second.type = REG_DWORD;
    }
    EXPECT_EQ(after.keys, keys) << "Keys:\n" << Differences(keys, after.keys);

    // Score: every value stays as it was but one, the new entry's: over the lowest good record
    // when ten are stored, else under the first number that holds no value, else under the first
    // that holds no good record.
    const auto good = GoodRecords(before.score);
    Tree score = before.score;
    if (outcome.enteredTable) {
      auto& values = score[L""];
      const std::wstring added = NewEntryNumber(values);
      auto stored = after.score.find(L"");
      if (stored != after.score.end() && stored->second.count(added)) {
        values[added] = stored->second.at(added);
        ScoreRecord record;
        ScoreEntry entry;
        ASSERT_EQ(values[added].bytes.size(), kRecordSize);
        std::memcpy(record.data(), values[added].bytes.data(), kRecordSize);
        ASSERT_TRUE(DecodeRecord(record, entry));
        EXPECT_STREQ(entry.name, kPlayer);
        EXPECT_EQ(std::to_wstring(entry.score), outcome.finalScore);
      }
    } else {
      EXPECT_EQ(good.size(), 10u) << "only a full table of better scores refuses a score";
    }
    EXPECT_EQ(after.score, score) << "Score:\n" << Differences(score, after.score);

    EXPECT_EQ(after.link, before.link) << "link colours:\n" << Differences(before.link, after.link);
    EXPECT_EQ(after.root, before.root) << "HKEY_CURRENT_USER:\n"
                                       << Differences(before.root, after.root);

    printf("round %zu: level shown %ls, score %ls, %s; %s\n", round, outcome.levelShown.c_str(),
           outcome.finalScore.c_str(), outcome.enteredTable ? "entered the table" : "Game over!",
           names.c_str());
    if (HasFatalFailure()) return;
  }
}

}  // namespace
