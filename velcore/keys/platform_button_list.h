#pragma once
// The shell's hardware buttons, as it lists them under HKEY_LOCAL_MACHINE
// "SOFTWARE\Microsoft\Shell\Keys": one subkey per button, named after the button's code, with
// the button's "Name". Absent on a desktop unless someone writes it.
#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "velcore/keys/key_map.h"

struct PlatformButton {
  int32_t code = -1;  // from the subkey name; -1 when the name has another form
  wchar_t Name[kKeyNameLength] = {};
};

class PlatformButtonList {
 public:
  // Reads the list unless it has been read already. When the shell's key cannot be opened the
  // list stays unread and the next call tries again.
  void Load();

  // -1 until the list has been read.
  int32_t Count() const { return count_; }
  std::span<const PlatformButton> Buttons() const { return buttons_; }
  // The first button with that code, if the code names a key.
  const PlatformButton* Find(int32_t code) const;

  // "40C1" gives 0xC1: a name of four characters ends in the code's two hexadecimal digits.
  static int32_t CodeFromName(const wchar_t* name, size_t length);

 private:
  int32_t count_ = -1;
  std::vector<PlatformButton> buttons_;
};
