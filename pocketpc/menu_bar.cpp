#include "pocketpc/menu_bar.h"

#include <commctrl.h>

#include <cstdint>

#include "pocketpc/shell.h"

namespace pocketpc {

namespace {

constexpr int kToolbarId = 1;
constexpr int kWordsPerButton = 7;
constexpr int kMaxButtons = 32;
constexpr BYTE kDropDown = 0x08;  // TBSTYLE_DROPDOWN in the resource's style word

// The submenu index and the tool-tip string of a button travel in its item data.
constexpr DWORD_PTR PackData(WORD submenu, WORD tooltip) {
  return static_cast<DWORD_PTR>(tooltip) << 16 | submenu;
}
constexpr WORD Submenu(DWORD_PTR data) {
  return static_cast<WORD>(data & 0xFFFF);
}
constexpr WORD Tooltip(DWORD_PTR data) {
  return static_cast<WORD>(data >> 16 & 0xFFFF);
}

// The bitmap resource stretched to width x height, pixel for pixel: no colour in between, so the
// button face's colour that the toolbar masks stays exact. Null when it cannot be made.
HBITMAP Stretched(HINSTANCE instance, int bitmapId, int width, int height) {
  auto source = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP size = {};
  if (!source || !GetObjectW(source, sizeof size, &size)) {
    if (source) DeleteObject(source);
    return nullptr;
  }
  HBITMAP result = nullptr;
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  if (screen && from && to) result = CreateCompatibleBitmap(screen, width, height);
  if (result) {
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, result);
    SetStretchBltMode(to, COLORONCOLOR);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  }
  if (to) DeleteDC(to);
  if (from) DeleteDC(from);
  if (screen) ReleaseDC(nullptr, screen);
  DeleteObject(source);
  return result;
}

}  // namespace

std::span<const ui::MessageEntry<MenuBar>> MenuBar::Messages() {
  static const ui::MessageEntry<MenuBar> table[] = {
      {WM_COMMAND, &MenuBar::OnCommand},
      {WM_NOTIFY, &MenuBar::OnNotify},
      {WM_DESTROY, &MenuBar::OnDestroy},
      {TB_CHECKBUTTON, &MenuBar::Forward<TB_CHECKBUTTON>},
      {TB_ISBUTTONCHECKED, &MenuBar::Forward<TB_ISBUTTONCHECKED>},
      {TB_GETSTATE, &MenuBar::Forward<TB_GETSTATE>},
  };
  return table;
}

HWND MenuBar::Create(HWND parent, HINSTANCE instance, UINT resourceId) {
  if (!IsWindow(parent)) return nullptr;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  auto* bar = new MenuBar;
  bar->instance_ = instance;
  HWND hwnd = bar->Window::Create(0, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                  RECT{0, 0, 0, 0}, parent, nullptr, instance);
  if (!hwnd) {
    delete bar;
    return nullptr;
  }
  bar->ownedByWindow_ = true;
  if (!bar->Build(resourceId)) {
    DestroyWindow(hwnd);  // takes the object with it
    return nullptr;
  }
  return hwnd;
}

MenuBar* MenuBar::From(HWND hwnd) {
  wchar_t name[32] = {};
  if (!hwnd || !GetClassNameW(hwnd, name, 32) || lstrcmpW(name, kClassName) != 0) return nullptr;
  return reinterpret_cast<MenuBar*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool MenuBar::Build(UINT resourceId) {
  HRSRC found = FindResourceW(instance_, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  if (!found) return false;
  const DWORD bytes = SizeofResource(instance_, found);
  HGLOBAL loaded = LoadResource(instance_, found);
  const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
  if (!words || bytes < 2 * sizeof(WORD)) return false;
  const int count = words[1];
  if (count > kMaxButtons || bytes < (2 + count * kWordsPerButton) * sizeof(WORD)) return false;

  menu_ = LoadMenuW(instance_, MAKEINTRESOURCEW(words[0]));
  if (!menu_) return false;

  toolbar_ = CreateWindowExW(
      0, TOOLBARCLASSNAMEW, nullptr,
      WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_NODIVIDER, 0, 0,
      0, 0, hwnd_, reinterpret_cast<HMENU>(kToolbarId), instance_, nullptr);
  if (!toolbar_) return false;
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

  TBBUTTON buttons[kMaxButtons] = {};
  for (int i = 0; i < count; ++i) {
    const WORD* w = words + 2 + i * kWordsPerButton;
    TBBUTTON& b = buttons[i];
    b.iBitmap = static_cast<int16_t>(w[0]);  // 0xFFFE is I_IMAGENONE
    b.idCommand = w[1];
    b.fsState = static_cast<BYTE>(w[2]);
    b.fsStyle = static_cast<BYTE>(w[3]);
    // The whole drop-down button opens the menu, as on the handheld.
    if (b.fsStyle & kDropDown) b.fsStyle |= BTNS_WHOLEDROPDOWN;
    b.dwData = PackData(w[6], w[5]);
    b.iString = -1;
    wchar_t text[64] = {};
    if (w[4] != 0 && LoadStringW(instance_, w[4], text, 63) > 0) {
      // The pool wants two terminating zeros; text holds at least one spare.
      b.iString = SendMessageW(toolbar_, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(text));
    }
  }
  if (count > 0 &&
      !SendMessageW(toolbar_, TB_ADDBUTTONSW, count, reinterpret_cast<LPARAM>(buttons))) {
    return false;
  }
  Dock();
  return true;
}

void MenuBar::Dock() {
  HWND parent = GetParent(hwnd_);
  RECT client = {};
  GetClientRect(parent, &client);
  const int width = client.right - client.left;
  // The toolbar sizes itself to the bar's width; the bar then takes the toolbar's height.
  MoveWindow(hwnd_, 0, client.bottom, width, 0, FALSE);
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
  RECT tool = {};
  GetWindowRect(toolbar_, &tool);
  const int height = tool.bottom - tool.top;
  MoveWindow(hwnd_, client.left, client.bottom - height, width, height, TRUE);
}

int MenuBar::AddBitmap(HINSTANCE instance, int bitmapId, int count, int width, int height) {
  if (count <= 0 || width <= 0 || height <= 0) return -1;
  if (!FindResourceW(instance, MAKEINTRESOURCEW(bitmapId), RT_BITMAP)) return -1;
  // The images are drawn for 96 dots per inch; on a finer screen they grow with the bar's text.
  int dpi = 96;
  if (HDC screen = GetDC(nullptr)) {
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  TBADDBITMAP add = {instance, static_cast<UINT_PTR>(bitmapId)};
  if (dpi > 96) {
    if (scaledCount_ == kMaxScaledBitmaps) return -1;
    width = MulDiv(width, dpi, 96);
    height = MulDiv(height, dpi, 96);
    HBITMAP scaled = Stretched(instance, bitmapId, width * count, height);
    if (!scaled) return -1;
    scaled_[scaledCount_++] = scaled;
    add = {nullptr, reinterpret_cast<UINT_PTR>(scaled)};
  }
  // The image size is fixed by the first bitmap; later ones must match it.
  if (imageCount_ == 0) {
    SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
  }
  const int first =
      static_cast<int>(SendMessageW(toolbar_, TB_ADDBITMAP, count, reinterpret_cast<LPARAM>(&add)));
  if (first < 0) return -1;
  imageCount_ += count;
  Dock();
  InvalidateRect(toolbar_, nullptr, TRUE);
  return first;
}

void MenuBar::OpenDropDown(int command) {
  TBBUTTONINFOW info = {};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_LPARAM;
  if (SendMessageW(toolbar_, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)) < 0) {
    return;
  }
  HMENU popup = GetSubMenu(menu_, Submenu(info.lParam));
  if (!popup) return;
  RECT button = {};
  SendMessageW(toolbar_, TB_GETRECT, command, reinterpret_cast<LPARAM>(&button));
  MapWindowPoints(toolbar_, nullptr, reinterpret_cast<POINT*>(&button), 2);
  TPMPARAMS params = {sizeof params, button};
  const int chosen = static_cast<int>(TrackPopupMenuEx(
      popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL,
      button.left, button.top, hwnd_, &params));
  // Posted, so that a command that destroys the parent (Exit) runs after the toolbar is done.
  if (chosen != 0) PostMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

LRESULT MenuBar::OnCommand(WPARAM wParam, LPARAM) {
  PostMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
  return 0;
}

LRESULT MenuBar::OnNotify(WPARAM, LPARAM lParam) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header) return 0;
  if (header->code == TBN_DROPDOWN && header->hwndFrom == toolbar_) {
    OpenDropDown(reinterpret_cast<NMTOOLBARW*>(lParam)->iItem);
    return TBDDRET_DEFAULT;
  }
  if (header->code == TTN_GETDISPINFOW) {
    auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lParam);
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_LPARAM;
    if (SendMessageW(toolbar_, TB_GETBUTTONINFOW, header->idFrom,
                     reinterpret_cast<LPARAM>(&info)) >= 0 &&
        Tooltip(info.lParam) != 0) {
      tip->hinst = instance_;
      tip->lpszText = MAKEINTRESOURCEW(Tooltip(info.lParam));
    }
  }
  return 0;
}

LRESULT MenuBar::OnDestroy(WPARAM, LPARAM) {
  if (menu_) {
    DestroyMenu(menu_);
    menu_ = nullptr;
  }
  return 0;
}

MenuBar::~MenuBar() {
  // After the toolbar, whose images came from these.
  for (int i = 0; i < scaledCount_; ++i) {
    if (scaled_[i]) DeleteObject(scaled_[i]);
    scaled_[i] = nullptr;
  }
}

void MenuBar::OnFinalMessage() {
  if (ownedByWindow_) delete this;
}

}  // namespace pocketpc

BOOL SHCreateMenuBar(PSHMENUBARINFO info) {
  if (!info) return FALSE;
  info->hwndMB = pocketpc::MenuBar::Create(info->hwndParent, info->hInstRes, info->nToolBarId);
  if (!info->hwndMB) return FALSE;
  if (info->nBmpId != 0 && info->cBmpImages > 0) {
    CommandBar_AddBitmap(info->hwndMB, info->hInstRes, info->nBmpId, info->cBmpImages, 16, 16);
  }
  return TRUE;
}

int CommandBar_AddBitmap(HWND hwndCB, HINSTANCE hInst, int idBitmap, int iNumImages,
                         int iImageWidth, int iImageHeight) {
  pocketpc::MenuBar* bar = pocketpc::MenuBar::From(hwndCB);
  return bar ? bar->AddBitmap(hInst, idBitmap, iNumImages, iImageWidth, iImageHeight) : -1;
}
