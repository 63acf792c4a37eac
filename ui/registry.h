#pragma once
// The one way the game and the library reach the registry: an owning key handle with bounded,
// typed reads, writes and a subkey walk that stops at the number counted when it began. Stored
// data may have been written by anyone: every read checks the size, and a refused value leaves
// the caller's field as it was (text comes back empty).
#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <utility>

namespace ui {

// The rights a key is opened with: never more than its use needs, so that a key that allows
// reading and writing values but nothing else still serves.
enum class RegistryAccess : REGSAM {
  kRead = KEY_QUERY_VALUE,                                  // values
  kReadSubkeys = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,  // values and the subkey walk
  kWrite = KEY_QUERY_VALUE | KEY_SET_VALUE,                 // values: read, set and delete
};

// For tests: after `calls` more calls into the registry every further one fails, as if the
// process had ended there; a negative number lets every call through again (the default).
void StopRegistryCallsAfter(int calls);

class RegistryKey {
 public:
  // Any value type is taken; the size decides.
  static constexpr DWORD kAnyType = 0xFFFFFFFF;
  // A subkey name the walk hands over: at most 255 characters and its terminator.
  static constexpr DWORD kSubkeyNameLength = 256;
  // The longest text ReadText takes, in bytes.
  static constexpr DWORD kTextBytes = 512;

  RegistryKey() = default;
  ~RegistryKey() { Close(); }
  RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
      Close();
      key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // root\path as it is; "no key" when it is missing or the access is refused. A null or empty
  // path opens root itself, as the registry does: callers that must not do so check first.
  static RegistryKey Open(HKEY root, const wchar_t* path, RegistryAccess access);
  // root\path, created with its parents when missing.
  static RegistryKey Create(HKEY root, const wchar_t* path, RegistryAccess access);

  bool IsOpen() const { return key_ != nullptr; }
  explicit operator bool() const { return IsOpen(); }
  HKEY Handle() const { return key_; }
  void Close();

  // A number of exactly 4 bytes (little-endian) of the given type.
  bool ReadDword(const wchar_t* name, DWORD& value, DWORD type = kAnyType) const;
  // Text of at most maxBytes stored bytes (and at most kTextBytes) into text, stored with or
  // without its terminator: the first NUL ends it, an odd last byte is ignored. Refused, text
  // empty, when it is longer or leaves no room in text for the terminator.
  bool ReadText(const wchar_t* name, std::span<wchar_t> text, DWORD maxBytes,
                DWORD type = kAnyType) const;
  template <size_t N>
  bool ReadText(const wchar_t* name, wchar_t (&text)[N], DWORD type = kAnyType) const {
    return ReadText(name, std::span<wchar_t>(text), static_cast<DWORD>(N * sizeof(wchar_t)), type);
  }
  // Exactly data.size() bytes of the given type. On failure data holds no meaning.
  bool ReadBinary(const wchar_t* name, std::span<BYTE> data, DWORD type = kAnyType) const;
  // Whether a value of that name exists, of any type and size.
  bool HasValue(const wchar_t* name) const;

  bool WriteDword(const wchar_t* name, DWORD value) const;
  // REG_SZ, with its terminator.
  bool WriteText(const wchar_t* name, const wchar_t* text) const;
  bool WriteBinary(const wchar_t* name, std::span<const BYTE> data) const;
  bool DeleteValue(const wchar_t* name) const;

  // Calls visit(name, length) for each subkey in the registry's order, but never for more than
  // were counted before the walk: subkeys added meanwhile cannot keep it going. Names of
  // kSubkeyNameLength characters or more are passed over. Returns the counted number, or
  // nothing when the key cannot be counted (then nothing is visited).
  template <class Visit>
  std::optional<DWORD> ForEachSubkey(Visit&& visit) const {
    const std::optional<DWORD> count = CountSubkeys();
    if (!count) return count;
    for (DWORD i = 0; i < *count; ++i) {
      wchar_t name[kSubkeyNameLength];
      DWORD length = 0;
      const Subkey found = SubkeyName(i, name, length);
      if (found == Subkey::kEnd) break;
      if (found == Subkey::kName) visit(static_cast<const wchar_t*>(name), length);
    }
    return count;
  }

 private:
  enum class Subkey { kName, kSkipped, kEnd };

  explicit RegistryKey(HKEY key) : key_(key) {}
  std::optional<DWORD> CountSubkeys() const;
  Subkey SubkeyName(DWORD index, wchar_t (&name)[kSubkeyNameLength], DWORD& length) const;

  HKEY key_ = nullptr;
};

}  // namespace ui
