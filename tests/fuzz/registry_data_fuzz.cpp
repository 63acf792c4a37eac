// Any data as the "Id", "Code" and "Name" values of one key map action: each value is taken only
// when its data fits the field, a refused one leaves the field at its default, and the name
// always ends inside its field.
#include <cstring>
#include <memory>

#include "tests/fuzz/fuzz_input.h"
#include "ui/registry_data.h"

namespace {

using ui::ParseIntValue;
using ui::ParseTextValue;

// The key map's field: a registry name of 255 characters and its terminator.
constexpr size_t kNameField = 256;

// One value's data on the heap at exactly its size, so that a read past it is caught. Input: a
// byte whose low bit says whether the value exists, a 16-bit length, the bytes.
struct Value {
  bool present = false;
  size_t size = 0;
  std::unique_ptr<uint8_t[]> bytes;

  explicit Value(FuzzInput& in) {
    present = (in.Byte() & 1) != 0;
    const size_t wanted = in.U16() % 1024;
    const uint8_t* at = in.Take(wanted, size);
    bytes.reset(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(bytes.get(), at, size);
  }
};

struct Action {
  int32_t id = -1;
  int32_t code = -1;
  Utf16Char name[kNameField] = {};
};

void ExpectInt(const Value& v, int32_t actual) {
  int32_t expected = -1;
  if (v.present && v.size == 4) std::memcpy(&expected, v.bytes.get(), 4);  // little-endian host
  FUZZ_CHECK(actual == expected);
}

void ExpectText(const Value& v, const Utf16Char (&name)[kNameField]) {
  size_t end = 0;
  while (end < kNameField && name[end] != 0) ++end;
  FUZZ_CHECK(end < kNameField);

  // Taken: at most 512 bytes, and a NUL among the first 256 units or fewer than 256 units.
  size_t units = v.size / 2;
  size_t length = 0;
  while (length < units && (v.bytes[2 * length] != 0 || v.bytes[2 * length + 1] != 0)) ++length;
  const bool taken = v.present && v.size <= 512 && length < kNameField;
  if (!taken) {
    FUZZ_CHECK(end == 0);
    return;
  }
  FUZZ_CHECK(end == length);
  for (size_t i = 0; i < length; ++i) {
    uint16_t unit = 0;
    std::memcpy(&unit, v.bytes.get() + 2 * i, 2);
    FUZZ_CHECK(name[i] == unit);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const Value id(in);
  const Value code(in);
  const Value name(in);

  // Read as the key map reads an action: a missing value is never handed over.
  Action action;
  for (Utf16Char& c : action.name) c = 'Z';
  action.name[0] = 0;
  if (id.present) ParseIntValue(id.bytes.get(), id.size, action.id);
  if (code.present) ParseIntValue(code.bytes.get(), code.size, action.code);
  if (name.present) ParseTextValue(name.bytes.get(), name.size, action.name);

  ExpectInt(id, action.id);
  ExpectInt(code, action.code);
  ExpectText(name, action.name);
  return 0;
}
