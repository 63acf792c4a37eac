#include "velcore/dialog_parts/hyper_link.h"

#include <shellapi.h>

#include <cwchar>
#include <new>

#include "ui/registry.h"
#include "ui/system_library.h"
#include "velcore/codec/colour_text.h"
#include "velcore/registry_paths.h"
#include "velcore/velcore_module.h"

namespace {

constexpr DWORD kColourTextBytes = 24;

std::unique_ptr<wchar_t[]> CopyText(const wchar_t* text) {
  if (!text) return nullptr;
  const size_t length = std::wcslen(text);
  std::unique_ptr<wchar_t[]> copy(new (std::nothrow) wchar_t[length + 1]);
  if (copy) std::wmemcpy(copy.get(), text, length + 1);
  return copy;
}

// The handheld's programs live in "\windows\"; on a desktop that is the system's Windows folder,
// wherever the current drive is.
bool WindowsProgram(const wchar_t* file, wchar_t (&path)[MAX_PATH]) {
  const UINT length = GetWindowsDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  return std::swprintf(path + length, MAX_PATH - length, L"\\%ls", file) > 0;
}

bool ExistingWindowsProgram(const wchar_t* file, wchar_t (&path)[MAX_PATH]) {
  return WindowsProgram(file, path) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// The target inside a format with one %ls, with the room the launch description asks for.
std::unique_ptr<wchar_t[]> Format(const wchar_t* format, const wchar_t* target) {
  const size_t capacity = std::wcslen(target) + 80;
  std::unique_ptr<wchar_t[]> text(new (std::nothrow) wchar_t[capacity]);
  if (text && std::swprintf(text.get(), capacity, format, target) < 0) text.reset();
  return text;
}

bool Launch(HWND owner, const wchar_t* file, const wchar_t* parameters) {
  SHELLEXECUTEINFOW launch = {};
  launch.cbSize = sizeof launch;
  launch.fMask = SEE_MASK_FLAG_NO_UI;  // a failed launch shows nothing
  launch.hwnd = owner;
  launch.lpVerb = L"open";
  launch.lpFile = file;
  launch.lpParameters = parameters;
  launch.nShow = SW_SHOWNORMAL;
  // The shell and all it brings load when a link is followed, not with the library.
  const auto execute =
      ui::SystemFunctionAs<decltype(&ShellExecuteExW)>(L"shell32.dll", "ShellExecuteExW");
  return execute && execute(&launch) != FALSE;
}

// The browser's text, "red,green,blue", of at most 24 bytes with or without its terminator.
bool ReadColour(const ui::RegistryKey& key, const wchar_t* name, COLORREF& colour) {
  wchar_t text[kColourTextBytes / sizeof(wchar_t) + 1];
  if (!key.ReadText(name, text, kColourTextBytes, REG_SZ)) return false;
  uint32_t parsed = 0;
  if (!ParseColourText(text, parsed)) return false;
  colour = parsed;
  return true;
}

}  // namespace

HyperLink::~HyperLink() {
  DeleteFont();
}

void HyperLink::FillClass(WNDCLASSW& wc) {
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
}

std::span<const ui::MessageEntry<HyperLink>> HyperLink::Messages() {
  static const ui::MessageEntry<HyperLink> table[] = {
      {WM_CREATE, &HyperLink::OnCreate},
      {WM_DESTROY, &HyperLink::OnDestroy},
      {WM_PAINT, &HyperLink::OnPaint},
      {WM_ERASEBKGND, &HyperLink::OnEraseBackground},
      {WM_SETFOCUS, &HyperLink::OnFocusChange},
      {WM_KILLFOCUS, &HyperLink::OnFocusChange},
      {WM_GETDLGCODE, &HyperLink::OnGetDialogCode},
      {WM_GETFONT, &HyperLink::OnGetFont},
      {WM_CHAR, &HyperLink::OnChar},
      {WM_LBUTTONDOWN, &HyperLink::OnLButtonDown},
      {WM_LBUTTONUP, &HyperLink::OnLButtonUp},
  };
  return table;
}

bool HyperLink::SetLabel(const wchar_t* text) {
  label_ = CopyText(text);
  UpdateLinkRect();
  return label_ != nullptr;
}

bool HyperLink::SetTarget(const wchar_t* text) {
  target_ = CopyText(text);
  if (!label_) UpdateLinkRect();
  return target_ != nullptr;
}

HWND HyperLink::ReplacePlaceholder(HWND dialog, int id, DWORD style) {
  RECT rect = {};
  if (HWND placeholder = GetDlgItem(dialog, id)) {
    RECT screen = {};
    if (GetWindowRect(placeholder, &screen)) {
      POINT topLeft = {screen.left, screen.top};
      POINT bottomRight = {screen.right, screen.bottom};
      if (ScreenToClient(dialog, &topLeft) && ScreenToClient(dialog, &bottomRight)) {
        rect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
      }
    }
    DestroyWindow(placeholder);
  }
  return Create(0, nullptr, style, rect, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                VelcoreModule());
}

LRESULT HyperLink::OnCreate(WPARAM, LPARAM) {
  if (auto parentFont = reinterpret_cast<HFONT>(SendMessageW(GetParent(hwnd_), WM_GETFONT, 0, 0))) {
    LOGFONTW description = {};
    if (GetObjectW(parentFont, sizeof description, &description)) {
      description.lfUnderline = TRUE;
      font_ = CreateFontIndirectW(&description);
    }
  }
  if (!label_) {
    const int length = GetWindowTextLengthW(hwnd_);
    if (length > 0) {
      label_.reset(new (std::nothrow) wchar_t[length + 1]);
      if (label_) GetWindowTextW(hwnd_, label_.get(), length + 1);
    }
  }
  UpdateLinkRect();
  ReadColours();
  return 0;
}

LRESULT HyperLink::OnDestroy(WPARAM, LPARAM) {
  DeleteFont();
  return 0;
}

void HyperLink::DeleteFont() {
  if (font_) {
    DeleteObject(font_);
    font_ = nullptr;
  }
}

void HyperLink::UpdateLinkRect() {
  if (hwnd_ && (label_ || target_)) GetClientRect(hwnd_, &linkRect_);
}

void HyperLink::ReadColours() {
  const ui::RegistryKey key =
      ui::RegistryKey::Open(HKEY_CURRENT_USER, kLinkColourPath, ui::RegistryAccess::kRead);
  if (!key) return;
  ReadColour(key, L"Anchor Color", linkColour_);
  ReadColour(key, L"Anchor Color Visited", visitedColour_);
}

LRESULT HyperLink::OnPaint(WPARAM wParam, LPARAM) {
  PAINTSTRUCT paint = {};
  HDC dc = reinterpret_cast<HDC>(wParam);
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(hwnd_, &paint);
  if (!dc) return 0;

  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, visited_ ? visitedColour_ : linkColour_);
  HGDIOBJ oldFont = font_ ? SelectObject(dc, font_) : nullptr;
  if (const wchar_t* text = label_ ? label_.get() : target_.get()) {
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    UINT format = DT_WORDBREAK;
    if ((style & SS_TYPEMASK) == SS_CENTER) {
      format |= DT_CENTER;
    } else if ((style & SS_TYPEMASK) == SS_RIGHT) {
      format |= DT_RIGHT;
    }
    RECT rect = linkRect_;
    DrawTextW(dc, text, -1, &rect, format);
  }
  if (GetFocus() == hwnd_) DrawFocusRect(dc, &linkRect_);
  if (oldFont) SelectObject(dc, oldFont);
  if (own) EndPaint(hwnd_, &paint);
  return 0;
}

LRESULT HyperLink::OnEraseBackground(WPARAM wParam, LPARAM) {
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(GetParent(hwnd_), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(hwnd_)));
  if (brush) {
    RECT client = {};
    GetClientRect(hwnd_, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
  }
  return 1;
}

LRESULT HyperLink::OnFocusChange(WPARAM, LPARAM) {
  InvalidateRect(hwnd_, nullptr, TRUE);
  return 0;
}

LRESULT HyperLink::OnGetDialogCode(WPARAM, LPARAM lParam) {
  // Enter is otherwise the dialog's default button, which would close the dialog instead of
  // opening the link; asking for the key-down brings its character here.
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) {
    return DLGC_WANTCHARS | DLGC_WANTMESSAGE;
  }
  return DLGC_WANTCHARS;
}

LRESULT HyperLink::OnGetFont(WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>(font_);
}

LRESULT HyperLink::OnChar(WPARAM wParam, LPARAM) {
  if (wParam == VK_RETURN || wParam == VK_SPACE) Open();
  return 0;
}

bool HyperLink::InLink(LPARAM point) const {
  const POINT p = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  return PtInRect(&linkRect_, p) != FALSE;
}

LRESULT HyperLink::OnLButtonDown(WPARAM, LPARAM lParam) {
  if (InLink(lParam)) {
    SetFocus(hwnd_);
    SetCapture(hwnd_);
  }
  return 0;
}

LRESULT HyperLink::OnLButtonUp(WPARAM, LPARAM lParam) {
  if (GetCapture() == hwnd_) {
    ReleaseCapture();
    if (InLink(lParam)) Open();
  }
  return 0;
}

bool HyperLink::Open() {
  const wchar_t* target = Target();
  if (!target) return false;
  wchar_t program[MAX_PATH];
  std::unique_ptr<wchar_t[]> parameters;
  bool launched = false;
  if (HandheldProgram(target, program, parameters)) {
    launched = Launch(hwnd_, program, parameters.get());
  } else {
    // A desktop has none of the handheld's programs: its own handlers of the address take over.
    std::unique_ptr<wchar_t[]> address = mail_ ? Format(L"mailto:%ls", target) : CopyText(target);
    launched = address && Launch(hwnd_, address.get(), nullptr);
  }
  if (!launched) return false;
  visited_ = true;
  InvalidateRect(hwnd_, nullptr, TRUE);
  return true;
}

bool HyperLink::HandheldProgram(const wchar_t* target, wchar_t (&program)[MAX_PATH],
                                std::unique_ptr<wchar_t[]>& parameters) const {
  if (!mail_) {
    if (!ExistingWindowsProgram(L"iexplore.exe", program)) return false;
    parameters = CopyText(target);
  } else if (ExistingWindowsProgram(L"tmail.exe", program)) {
    parameters = Format(L"mailto:%ls", target);
  } else if (ExistingWindowsProgram(L"pmail.exe", program)) {
    parameters = Format(L"-TO \"%ls\"", target);
  } else {
    return false;
  }
  return parameters != nullptr;
}
