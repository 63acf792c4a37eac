#include "key_map_defaults.h"

#include <cwchar>

namespace {

constexpr KeyMapDefault kDefaults[] = {
#include "key_map_defaults.inc"
};

}  // namespace

bool StoreKeyMapDefaults() {
  bool stored = true;
  for (const KeyMapDefault& value : kDefaults) {
    const LSTATUS status =
        value.type == REG_DWORD
            ? RegSetKeyValueW(HKEY_CURRENT_USER, value.path, value.name, REG_DWORD, &value.number,
                              sizeof value.number)
            : RegSetKeyValueW(HKEY_CURRENT_USER, value.path, value.name, REG_SZ, value.text,
                              static_cast<DWORD>((std::wcslen(value.text) + 1) * sizeof(wchar_t)));
    stored = stored && status == ERROR_SUCCESS;
  }
  return stored;
}
