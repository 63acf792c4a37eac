#include "velcore/keys/key_setup_dialog.h"

#include <cwchar>
#include <iterator>

#include "pocketpc/shell.h"
#include "ui/key_message.h"
#include "velcore/keys/hot_keys.h"
#include "velcore/resource.h"
#include "velcore/velcore_module.h"

namespace {

constexpr int kActionColumnWidth = 150;
constexpr int kKeyColumnWidth = 50;

// A missing string gives an empty text.
void LoadText(UINT id, wchar_t* text, int size) {
  if (LoadStringW(VelcoreModule(), id, text, size) <= 0) text[0] = L'\0';
}

// Keys named only with the extended bit: the navigation keys, which share their scan codes with
// the numeric pad, and the Windows and menu keys.
bool IsExtendedKey(int32_t code) {
  switch (code) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
      return true;
    default:
      return false;
  }
}

// The keyboard layout's own name of a key ("A", "Space", "Home"); false when it has none.
bool KeyboardName(int32_t code, wchar_t* text, int size) {
  if (code <= 0 || code > 0xFF) return false;
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(code), MAPVK_VK_TO_VSC);
  if (scan == 0) return false;
  LONG keyData = static_cast<LONG>((scan & 0xFF) << 16);
  if (IsExtendedKey(code)) keyData |= 1L << 24;
  return GetKeyNameTextW(keyData, text, size) > 0;
}

}  // namespace

KeySetupDialog::KeySetupDialog(KeyMap& actions, const PlatformButtonList& buttons)
    : actions_(actions.Entries()), buttons_(buttons) {}

std::span<const ui::MessageEntry<KeySetupDialog>> KeySetupDialog::Messages() {
  static const ui::MessageEntry<KeySetupDialog> table[] = {
      {WM_INITDIALOG, &KeySetupDialog::OnInitDialog}, {WM_KEYDOWN, &KeySetupDialog::OnKeyDown},
      {WM_HOTKEY, &KeySetupDialog::OnKeyDown},        {WM_KEYUP, &KeySetupDialog::OnKeyUp},
      {WM_SYSKEYDOWN, &KeySetupDialog::OnSysKey},     {WM_SYSKEYUP, &KeySetupDialog::OnSysKey},
      {WM_GETDLGCODE, &KeySetupDialog::OnGetDlgCode}, {WM_SETFOCUS, &KeySetupDialog::OnSetFocus},
      {WM_DESTROY, &KeySetupDialog::OnDestroy},
  };
  return table;
}

std::span<const ui::CommandEntry<KeySetupDialog>> KeySetupDialog::Commands() {
  static const ui::CommandEntry<KeySetupDialog> table[] = {
      {IDOK, &KeySetupDialog::OnOk},
      {IDC_KEY_START, &KeySetupDialog::OnStart},
  };
  return table;
}

std::span<const ui::NotifyEntry<KeySetupDialog>> KeySetupDialog::Notifications() {
  static const ui::NotifyEntry<KeySetupDialog> table[] = {
      {IDC_KEY_LIST, LVN_ITEMCHANGING, &KeySetupDialog::OnItemChanging},
  };
  return table;
}

LRESULT KeySetupDialog::OnInitDialog(WPARAM, LPARAM) {
  list_ = Item(IDC_KEY_LIST);
  ui::Subclass<KeySetupDialog>::Install(list_, this);

  wchar_t heading[64];
  LVCOLUMNW column = {};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.pszText = heading;
  LoadText(IDS_KEY_ACTION, heading, static_cast<int>(std::size(heading)));
  column.cx = kActionColumnWidth;
  column.iSubItem = 0;
  SendMessageW(list_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  LoadText(IDS_KEY_KEY, heading, static_cast<int>(std::size(heading)));
  column.cx = kKeyColumnWidth;
  column.iSubItem = 1;
  SendMessageW(list_, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

  for (KeyMapEntry& entry : actions_) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 0;
    item.pszText = entry.Name;
    item.lParam = reinterpret_cast<LPARAM>(&entry);
    const int row =
        static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row >= 0) ShowKeyName(row, entry.Code);
  }
  SendMessageW(list_, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareIds));

  RECT client = {};
  GetClientRect(list_, &client);
  const int half = client.right / 2;
  SendMessageW(list_, LVM_SETCOLUMNWIDTH, 0, half);
  SendMessageW(list_, LVM_SETCOLUMNWIDTH, 1, client.right - half);

  SHINITDLGINFO info = {SHIDIM_FLAGS, hwnd_,
                        SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SHInitDialog(&info);
  return TRUE;
}

// Ids may lie anywhere in their range: subtracting them could overflow and misorder.
int CALLBACK KeySetupDialog::CompareIds(LPARAM first, LPARAM second, LPARAM) {
  const int32_t a = reinterpret_cast<const KeyMapEntry*>(first)->Id;
  const int32_t b = reinterpret_cast<const KeyMapEntry*>(second)->Id;
  return (a > b) - (a < b);
}

// The list hands the focus straight on to the dialog, which thus receives every key.
LRESULT KeySetupDialog::SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFOCUS) {
    SetFocus(GetParent(hwnd));
    return 0;
  }
  return ui::Subclass<KeySetupDialog>::CallNext(hwnd, message, wParam, lParam);
}

// The dialog keeps the focus itself: the dialog manager would hand it to a control, and the
// list would hand it straight back.
LRESULT KeySetupDialog::OnSetFocus(WPARAM, LPARAM) {
  return TRUE;
}

LRESULT KeySetupDialog::OnGetDlgCode(WPARAM, LPARAM) {
  SetResult(capturing_ ? DLGC_WANTALLKEYS : 0);
  return TRUE;
}

LRESULT KeySetupDialog::OnItemChanging(NMHDR* header) {
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  const bool selection =
      (change->uChanged & LVIF_STATE) && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED);
  return selection ? TRUE : FALSE;
}

void KeySetupDialog::OnOk(WORD, HWND) {
  EndDialog(hwnd_, IDOK);
}

void KeySetupDialog::OnStart(WORD, HWND) {
  if (capturing_) return;
  capturing_ = true;
  EnableWindow(Item(IDC_KEY_START), FALSE);
  GrabAllButtons();
  SetFocus(hwnd_);
  Advance();
  if (!capturing_) ReleaseAllButtons();
}

LRESULT KeySetupDialog::OnKeyDown(WPARAM, LPARAM) {
  // Auto-repeat and further keys change nothing until a key is released.
  if (!keyDown_) {
    keyDown_ = true;
    if (currentRow_ >= 0) SetKeyString(currentRow_, IDS_KEY_RELEASE);
  }
  return TRUE;
}

// The key released is the one assigned, whichever key went down first.
LRESULT KeySetupDialog::OnKeyUp(WPARAM wParam, LPARAM) {
  if (!keyDown_) return TRUE;
  keyDown_ = false;
  if (currentRow_ < 0) return TRUE;
  Assign(static_cast<int32_t>(wParam));
  Advance();
  if (!capturing_) ReleaseAllButtons();
  return TRUE;
}

// F10 comes as a system key, which would open the system menu and take every key pressed after
// it. During a capture it is a key like any other; with Alt held a key keeps its system meaning.
LRESULT KeySetupDialog::OnSysKey(WPARAM wParam, LPARAM lParam) {
  if (!capturing_ || (lParam & ui::kKeyAltHeld)) return FALSE;
  const bool up = (lParam & ui::kKeyReleased) != 0;
  return up ? OnKeyUp(wParam, lParam) : OnKeyDown(wParam, lParam);
}

LRESULT KeySetupDialog::OnDestroy(WPARAM, LPARAM) {
  if (capturing_) ReleaseAllButtons();
  return FALSE;
}

void KeySetupDialog::Advance() {
  if (currentRow_ >= 0) {
    if (const KeyMapEntry* entry = EntryAt(currentRow_)) ShowKeyName(currentRow_, entry->Code);
  }
  ++currentRow_;
  const int rows = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  if (currentRow_ < rows) {
    SetKeyString(currentRow_, IDS_KEY_PRESS);
    return;
  }
  currentRow_ = -1;
  EnableWindow(Item(IDC_KEY_START), TRUE);
  capturing_ = false;
}

// A key belongs to one action at most: whichever had it loses it.
void KeySetupDialog::Assign(int32_t code) {
  const int rows = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    KeyMapEntry* entry = EntryAt(row);
    if (entry && entry->Code == code) {
      entry->Code = 0;
      SetKeyString(row, IDS_KEY_NOT_ASSIGNED);
    }
  }
  if (KeyMapEntry* current = EntryAt(currentRow_)) {
    current->Code = code;
    ShowKeyName(currentRow_, code);
  }
}

// During a capture every button the shell knows is the dialog's, assigned or not.
void KeySetupDialog::GrabAllButtons() {
  const UnregisterFunc1Fn takeFromShell = LookUpUnregisterFunc1();
  for (const PlatformButton& button : buttons_.Buttons()) {
    if (IsKeyCode(button.code)) GrabButton(hwnd_, button.code, takeFromShell);
  }
}

void KeySetupDialog::ReleaseAllButtons() {
  for (const PlatformButton& button : buttons_.Buttons()) {
    if (IsKeyCode(button.code)) ReleaseButton(hwnd_, button.code);
  }
}

KeyMapEntry* KeySetupDialog::EntryAt(int row) const {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<KeyMapEntry*>(item.lParam);
}

void KeySetupDialog::SetKeyText(int row, const wchar_t* text) {
  LVITEMW item = {};
  item.iSubItem = 1;
  item.pszText = const_cast<wchar_t*>(text);
  SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void KeySetupDialog::SetKeyString(int row, UINT stringId) {
  wchar_t text[64];
  LoadText(stringId, text, static_cast<int>(std::size(text)));
  SetKeyText(row, text);
}

void KeySetupDialog::ShowKeyName(int row, int32_t code) {
  wchar_t text[kKeyNameLength];
  KeyName(code, text, static_cast<int>(std::size(text)));
  SetKeyText(row, text);
}

void KeySetupDialog::KeyName(int32_t code, wchar_t* text, int size) const {
  if (const PlatformButton* button = buttons_.Find(code)) {
    wcsncpy(text, button->Name, size - 1);
    text[size - 1] = L'\0';
    return;
  }
  UINT id = 0;
  switch (code) {
    case 0:
      id = IDS_KEY_NOT_ASSIGNED;
      break;
    case VK_RETURN:
      id = IDS_KEY_ENTER;
      break;
    case VK_LEFT:
      id = IDS_KEY_LEFT;
      break;
    case VK_UP:
      id = IDS_KEY_UP;
      break;
    case VK_RIGHT:
      id = IDS_KEY_RIGHT;
      break;
    case VK_DOWN:
      id = IDS_KEY_DOWN;
      break;
  }
  if (id) {
    LoadText(id, text, size);
    return;
  }
  if (KeyboardName(code, text, size)) return;
  wchar_t format[64];
  LoadText(IDS_KEY_CODE, format, static_cast<int>(std::size(format)));
  if (format[0] == L'\0' || swprintf(text, size, format, static_cast<unsigned>(code)) < 0) {
    text[0] = L'\0';
  }
}
