#include "velcore/keys/platform_button_list.h"

#include <new>

#include "velcore/keys/key_map.h"

namespace {

constexpr wchar_t kShellKeysPath[] = L"SOFTWARE\\Microsoft\\Shell\\Keys";
constexpr wchar_t kNameValue[] = L"Name";

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

}  // namespace

int32_t PlatformButtonList::CodeFromName(const wchar_t* name, size_t length) {
  if (length != 4) return -1;
  const int high = HexDigit(name[2]);
  const int low = HexDigit(name[3]);
  if (high < 0 || low < 0) return -1;
  return high * 16 + low;
}

void PlatformButtonList::Load() {
  if (count_ >= 0) return;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kShellKeysPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return;
  }
  DWORD count = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    try {
      std::vector<PlatformButton> buttons;
      // Never more than were counted, whatever appears meanwhile.
      for (DWORD i = 0; i < count; ++i) {
        wchar_t name[kNameLength];
        DWORD length = kNameLength;
        const LSTATUS status =
            RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        if (length >= kNameLength) continue;
        name[length] = L'\0';
        PlatformButton button;
        button.code = CodeFromName(name, length);
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_QUERY_VALUE, &sub) == ERROR_SUCCESS) {
          ReadRegistryText(sub, kNameValue, button.Name);
          RegCloseKey(sub);
        }
        buttons.push_back(button);
      }
      buttons_.swap(buttons);
      count_ = static_cast<int32_t>(buttons_.size());
    } catch (const std::bad_alloc&) {
      // The list stays unread.
    }
  }
  RegCloseKey(key);
}

const PlatformButton* PlatformButtonList::Find(int32_t code) const {
  if (!IsKeyCode(code)) return nullptr;
  for (const PlatformButton& button : buttons_) {
    if (button.code == code) return &button;
  }
  return nullptr;
}
