#include "velcore/keys/platform_button_list.h"

#include <new>

#include "ui/registry.h"
#include "velcore/keys/key_map.h"
#include "velcore/registry_paths.h"

namespace {

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
  const ui::RegistryKey key =
      ui::RegistryKey::Open(HKEY_LOCAL_MACHINE, kShellKeysPath, ui::RegistryAccess::kReadSubkeys);
  if (!key) return;
  try {
    std::vector<PlatformButton> buttons;
    // Never more than were counted, whatever appears meanwhile.
    const std::optional<DWORD> count = key.ForEachSubkey([&](const wchar_t* name, DWORD length) {
      PlatformButton button;
      button.code = CodeFromName(name, length);
      if (const ui::RegistryKey sub =
              ui::RegistryKey::Open(key.Handle(), name, ui::RegistryAccess::kRead)) {
        sub.ReadText(kNameValue, button.Name);
      }
      buttons.push_back(button);
    });
    if (!count) return;
    buttons_.swap(buttons);
    count_ = static_cast<int32_t>(buttons_.size());
  } catch (const std::bad_alloc&) {
    // The list stays unread.
  }
}

const PlatformButton* PlatformButtonList::Find(int32_t code) const {
  if (!IsKeyCode(code)) return nullptr;
  for (const PlatformButton& button : buttons_) {
    if (button.code == code) return &button;
  }
  return nullptr;
}
