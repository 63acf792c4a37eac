#include "shell/main_frame.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <optional>

#include "pocketpc/menu_bar.h"
#include "pocketpc/shell.h"
#include "shell/frame_placement.h"
#include "shell/label_font.h"
#include "shell/options_dialog.h"
#include "shell/pause_guard.h"
#include "shell/res/resource.h"
#include "shell/row_sound.h"
#include "shell/velcore_library.h"
#include "ui/key_message.h"
#include "velcore/interface/velcore.h"

namespace {
constexpr int kMenuBarImageSize = 16;
constexpr int kMessageLength = 128;

struct DialogSearch {
  HWND owner;
  HWND found;
  bool openOnly;  // skips dialogs already ended, which stay hidden until their loop returns
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<DialogSearch*>(lParam);
  wchar_t name[8] = {};
  // Dialogs and message boxes alike; the frame's other owned windows (tool tips) are not.
  if (GetWindow(window, GW_OWNER) != search->owner || !GetClassNameW(window, name, 8) ||
      lstrcmpW(name, L"#32770") != 0 || (search->openOnly && !IsWindowVisible(window))) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

// The innermost dialog open over the frame (one opened from another is owned by it), or null.
HWND InnermostDialog(HWND frame, bool openOnly = false) {
  DialogSearch search = {frame, nullptr, openOnly};
  for (;;) {
    EnumThreadWindows(GetCurrentThreadId(), &FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return search.owner == frame ? nullptr : search.owner;
    search = {search.found, nullptr, openOnly};
  }
}

}  // namespace

void MainFrame::FillClass(WNDCLASSW& wc) {
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
}

std::span<const ui::MessageEntry<MainFrame>> MainFrame::Messages() {
  static const ui::MessageEntry<MainFrame> table[] = {
      {WM_CREATE, &MainFrame::OnCreate},
      {WM_DESTROY, &MainFrame::OnDestroy},
      {WM_KEYTARGET_DOWN, &MainFrame::OnKeyTargetDown},
      {WM_KEYTARGET_UP, &MainFrame::OnKeyTargetUp},
      {WM_ACTIVATE, &MainFrame::OnActivate},
      {WM_CTLCOLORSTATIC, &MainFrame::OnCtlColorStatic},
      {WM_SIZE, &MainFrame::OnSize},
      {WM_GETMINMAXINFO, &MainFrame::OnGetMinMaxInfo},
      {WM_WINDOWPOSCHANGING, &MainFrame::OnWindowPosChanging},
      {kWmHoldMinimum, &MainFrame::OnHoldMinimum},
      {WM_ENTERSIZEMOVE, &MainFrame::OnEnterSizeMove},
      {WM_MOVE, &MainFrame::OnMove},
      {WM_MOUSEACTIVATE, &MainFrame::OnMouseActivate},
      {WM_CLOSE, &MainFrame::OnClose},
      {WM_QUERYENDSESSION, &MainFrame::OnQueryEndSession},
      {WM_KEYDOWN, &MainFrame::OnKeyDown},
      {WM_KEYUP, &MainFrame::OnKeyUp},
      {WM_ENDSESSION, &MainFrame::OnEndSession},
  };
  return table;
}

std::span<const ui::CommandEntry<MainFrame>> MainFrame::Commands() {
  static const ui::CommandEntry<MainFrame> table[] = {
      {IDM_ABOUT, &MainFrame::OnAbout},   {IDM_OPTIONS, &MainFrame::OnOptions},
      {IDM_SCORES, &MainFrame::OnScores}, {IDM_NEW_GAME, &MainFrame::OnNewGame},
      {IDM_PAUSE, &MainFrame::OnPause},   {IDM_EXIT, &MainFrame::OnExit},
  };
  return table;
}

MainFrame::~MainFrame() {
  if (hwnd_) DestroyWindow(hwnd_);
}

HWND MainFrame::Create(HINSTANCE instance, const RECT& workArea) {
  instance_ = instance;
  desktop_ = !pocketpc::IsHandheldScreen(workArea);
  const DWORD style = FrameStyle(workArea);
  if (!desktop_) {
    Window::Create(kFrameExStyle, L"Talvenor", style, workArea, nullptr, nullptr, instance);
    shown_ = hwnd_ != nullptr;
    return hwnd_;
  }
  const std::optional<FramePlacement> stored = ReadPlacement(kOptionsPath);
  const RECT rect = stored ? stored->normal : FirstStartRect(workArea);
  if (!Window::Create(kFrameExStyle, L"Talvenor", style, rect, nullptr, nullptr, instance)) {
    return nullptr;
  }
  placementShift_ = PlacementShift(hwnd_);
  ShowWindow(hwnd_, stored && stored->maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  RECT placed = {};
  GetWindowRect(hwnd_, &placed);
  placed_ = POINT{placed.left, placed.top};
  shown_ = true;
  placing_ = true;
  return hwnd_;
}

LRESULT MainFrame::OnCreate(WPARAM, LPARAM) {
  if (auto registerTarget = FindVelcoreExport<RegisterKeyTargetFn>(kRegisterKeyTargetName)) {
    const KeyTargetInfo info = {sizeof info, hwnd_, kKeysPath};
    registerTarget(&info);
    keyTargetHeld_ = true;
  }
  SetIcons();

  SHMENUBARINFO bar = {sizeof bar, hwnd_, 0, IDR_MENUBAR, instance_, 0, 0, nullptr};
  // The menu bar comes from the program's own resources: without it the program is damaged and
  // could not even be left, so the window is not created.
  if (!SHCreateMenuBar(&bar)) return -1;
  menuBar_ = bar.hwndMB;
  CommandBar_AddBitmap(menuBar_, instance_, IDB_PAUSE, 1, kMenuBarImageSize, kMenuBarImageSize);

  ReadSettings(settings_);

  textHeight_ = MeasureTextHeight(hwnd_);
  game_.SetEvents(this);
  if (!CreateChildren(CurrentLayout())) return -1;

  game_.NewGame(static_cast<int>(settings_.InitialLevel));
  return 0;
}

FrameLayout MainFrame::CurrentLayout() {
  RECT client = {};
  GetClientRect(hwnd_, &client);
  laidOut_ = SIZE{client.right - client.left, client.bottom - client.top};
  RECT barRect = {};
  GetWindowRect(menuBar_, &barRect);
  const LayoutRect area = ToLayoutRect(client);
  const int bar = barRect.bottom - barRect.top;
  if (!desktop_) return ComputeLayout(area, bar, textHeight_);
  // A new font only with a new cell size; without one the labels keep the system font.
  labelFont_.Fit(hwnd_, labels_, LabelFontHeight(DesktopCellSize(area, bar)));
  return ComputeDesktopLayout(area, bar,
                              labelFont_.Handle() ? labelFont_.TextHeight() : textHeight_);
}

void MainFrame::Relayout() {
  if (auto* bar = pocketpc::MenuBar::From(menuBar_)) bar->Dock();
  const FrameLayout layout = CurrentLayout();
  auto place = [](HWND child, const LayoutRect& r) {
    if (child) MoveWindow(child, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  };
  for (int i = 0; i < kLabelCount; ++i) place(labels_[i], layout.labels[i]);
  place(preview_.Hwnd(), layout.preview);
  place(game_.Hwnd(), layout.board);
}

bool MainFrame::CreateChildren(const FrameLayout& layout) {
  static const wchar_t* const kCaptions[kLabelCount] = {L"Level", nullptr, L"Score",
                                                        nullptr,  L"Rows", nullptr};
  for (int i = 0; i < kLabelCount; ++i) {
    const LayoutRect& r = layout.labels[i];
    labels_[i] =
        CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_CENTER, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, hwnd_, nullptr, instance_, nullptr);
    if (labels_[i] && labelFont_.Handle()) {
      SendMessageW(labels_[i], WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.Handle()), FALSE);
    }
    if (labels_[i] && kCaptions[i]) SetWindowTextW(labels_[i], kCaptions[i]);
  }
  if (!preview_.Create(0, nullptr, WS_CHILD | WS_VISIBLE, ToRect(layout.preview), hwnd_, nullptr,
                       instance_)) {
    return false;
  }
  preview_.SetPainter(game_.Painter());
  game_.SetTexture(instance_, IDB_TEXTURE);
  return game_.Create(0, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                      ToRect(layout.board), hwnd_, nullptr, instance_) != nullptr;
}

LRESULT MainFrame::OnClose(WPARAM, LPARAM) {
  // The close box is Exit. Asked to close (a task manager, the session's end) while a dialog is
  // open, the dialog ends as its OK would, so that a score being named is kept, and the close
  // comes back once it has gone and whatever opened it has finished. A dialog that refuses the
  // OK keeps its owner disabled, and then the close is refused too.
  if (HWND dialog = InnermostDialog(hwnd_)) {
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    if (IsWindowEnabled(GetWindow(dialog, GW_OWNER))) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    return 0;
  }
  OnExit(0, nullptr);
  return 0;
}

LRESULT MainFrame::OnQueryEndSession(WPARAM, LPARAM) {
  return TRUE;
}

// The process may be ended as soon as this returns, from inside whatever dialog is open: what a
// close keeps is kept here, before returning, and the close itself follows if the process lives.
LRESULT MainFrame::OnEndSession(WPARAM wParam, LPARAM) {
  if (!wParam) return 0;
  while (HWND dialog = InnermostDialog(hwnd_, true)) {
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    if (IsWindowVisible(dialog)) break;  // it refused the OK
  }
  if (options_ && options_->accepted) KeepOptions(*options_);
  if (desktop_) WritePlacement(hwnd_, kOptionsPath, placementShift_);
  ReleaseKeyTarget();
  PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  return 0;
}

void MainFrame::ReleaseKeyTarget() {
  if (!keyTargetHeld_) return;
  keyTargetHeld_ = false;
  if (auto unregisterTarget = FindVelcoreExport<UnregisterKeyTargetFn>(kUnregisterKeyTargetName)) {
    unregisterTarget(0);
  }
}

LRESULT MainFrame::OnDestroy(WPARAM, LPARAM) {
  if (desktop_) WritePlacement(hwnd_, kOptionsPath, placementShift_);
  ReleaseKeyTarget();
  if (game_.Hwnd()) DestroyWindow(game_.Hwnd());
  labelFont_.Release(labels_);
  for (HICON& icon : icons_) {
    if (icon) DestroyIcon(icon);
    icon = nullptr;
  }
  PostQuitMessage(0);
  return 0;
}

bool MainFrame::TranslateKey(const MSG& msg) {
  if (!hwnd_ || msg.hwnd != hwnd_) return false;
  const bool plain = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP;
  const bool system = msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSKEYUP;
  if (!plain && !system) return false;
  const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  if (TranslateAlt(msg, down)) return true;
  static constexpr struct {
    WPARAM key;
    WORD command;
  } kKeys[] = {{VK_PAUSE, IDM_PAUSE}, {VK_F2, IDM_NEW_GAME}, {VK_F10, IDM_EXTRAS}};
  const auto* found = std::find_if(std::begin(kKeys), std::end(kKeys),
                                   [&](const auto& k) { return k.key == msg.wParam; });
  if (found == std::end(kKeys)) return false;
  // Alt combinations keep their system meaning.
  if (system && (msg.lParam & ui::kKeyAltHeld)) return false;
  // The key target reports a key the player gave to a game action: that key keeps it. F10
  // arrives as a system key, which the target would never hear: it is handed on as the plain key
  // it is.
  MSG asPlain = msg;
  asPlain.message = down ? WM_KEYDOWN : WM_KEYUP;
  keyReported_ = false;
  DispatchMessageW(&asPlain);
  if (keyReported_) return true;
  // A held key's repeats do nothing more; F10's release would open the system menu.
  if (!down || (msg.lParam & ui::kKeyRepeat)) return true;
  switch (found->command) {
    case IDM_EXTRAS:
      OpenExtrasFromKeyboard();
      break;
    case IDM_NEW_GAME:
      OnNewGame(0, nullptr);
      break;
    default:
      OnPause(0, nullptr);
  }
  return true;
}

// F10 handed on as a plain key: the default handling would arm the system's menu loop on its
// release.
LRESULT MainFrame::OnKeyDown(WPARAM wParam, LPARAM lParam) {
  return wParam == VK_F10 ? 0 : DefWindowProcW(hwnd_, WM_KEYDOWN, wParam, lParam);
}

LRESULT MainFrame::OnKeyUp(WPARAM wParam, LPARAM lParam) {
  return wParam == VK_F10 ? 0 : DefWindowProcW(hwnd_, WM_KEYUP, wParam, lParam);
}

// Alt pressed and released alone opens "Extras", as it opens a desktop program's menu; with
// any key between, the combination is the system's.
bool MainFrame::TranslateAlt(const MSG& msg, bool down) {
  if (msg.wParam != VK_MENU) {
    if (down) altAlone_ = false;
    return false;
  }
  if (down) {
    if (!(msg.lParam & ui::kKeyRepeat)) altAlone_ = true;
    return false;
  }
  if (!altAlone_) return false;
  altAlone_ = false;
  OpenExtrasFromKeyboard();
  return true;
}

void MainFrame::OpenExtrasFromKeyboard() {
  auto* bar = pocketpc::MenuBar::From(menuBar_);
  if (!bar) return;
  // The menu's own loop takes it first and selects the first item, as a keyboard-opened menu
  // shows it. Sent to the bar, not the frame: should the menu not open, no game action hears it.
  PostMessageW(menuBar_, WM_KEYDOWN, VK_DOWN, 0);
  bar->OpenDropDown(IDM_EXTRAS);
}

LRESULT MainFrame::OnKeyTargetDown(WPARAM wParam, LPARAM) {
  keyReported_ = true;
  game_.Press(static_cast<int>(wParam));
  return 0;
}

LRESULT MainFrame::OnKeyTargetUp(WPARAM, LPARAM) {
  game_.Release();
  return 0;
}

LRESULT MainFrame::OnActivate(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    placing_ = false;
    if (!game_.IsPaused()) SetPaused(true);
    // The button's release goes to whatever took the focus; without this the first press
    // afterwards would be taken for the held button.
    game_.Release();
  } else if (game_.Hwnd()) {
    InvalidateRect(game_.Hwnd(), nullptr, TRUE);
  }
  // The default activation gives the frame the keyboard focus, which the button hook needs.
  DefWindowProcW(hwnd_, WM_ACTIVATE, wParam, lParam);
  return 0;
}

LRESULT MainFrame::OnCtlColorStatic(WPARAM wParam, LPARAM) {
  SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

LRESULT MainFrame::OnSize(WPARAM wParam, LPARAM lParam) {
  if (wParam == SIZE_MINIMIZED) {
    PauseForWindow();
    return 0;
  }
  const SIZE size = {LOWORD(lParam), HIWORD(lParam)};
  if (!game_.Hwnd() || (size.cx == laidOut_.cx && size.cy == laidOut_.cy)) return 0;
  if (shown_) PauseForPlace();
  Relayout();
  return 0;
}

LRESULT MainFrame::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  if (!desktop_) return 0;
  const SIZE smallest = MinimumWindowSize();
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMinTrackSize = POINT{smallest.cx, smallest.cy};
  return 0;
}

// A window manager sizes the X window itself and never hears of the minimum: the frame keeps
// its own size, but the X window would stay smaller and cut the game off. Asking for the frame's
// size again, once the window manager's request has been taken, sets the X window back.
LRESULT MainFrame::OnWindowPosChanging(WPARAM wParam, LPARAM lParam) {
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
  if (desktop_ && !(pos->flags & SWP_NOSIZE) && !IsIconic(hwnd_) && !IsZoomed(hwnd_)) {
    const SIZE smallest = MinimumWindowSize();
    if (pos->cx < smallest.cx || pos->cy < smallest.cy) {
      PostMessageW(hwnd_, kWmHoldMinimum, 0, 0);
    }
  }
  return DefWindowProcW(hwnd_, WM_WINDOWPOSCHANGING, wParam, lParam);
}

LRESULT MainFrame::OnHoldMinimum(WPARAM, LPARAM) {
  RECT window = {};
  if (!GetWindowRect(hwnd_, &window) || IsIconic(hwnd_) || IsZoomed(hwnd_)) return 0;
  SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

LRESULT MainFrame::OnEnterSizeMove(WPARAM, LPARAM) {
  placing_ = false;
  PauseForWindow();
  return 0;
}

// A window manager moves the window without the system's move loop: the new place tells.
LRESULT MainFrame::OnMove(WPARAM, LPARAM) {
  RECT placed = {};
  if (!desktop_ || !shown_ || IsIconic(hwnd_) || !GetWindowRect(hwnd_, &placed)) return 0;
  if (placed.left != placed_.x || placed.top != placed_.y) {
    placed_ = POINT{placed.left, placed.top};
    PauseForPlace();
  }
  return 0;
}

// A window manager places a new window (moves it into the screen, maximises it) and then hands
// it the focus, which Wine passes on as this message; there is no other sign that the placing
// is over. The pause the placing caused was nobody's doing: the game goes on.
LRESULT MainFrame::OnMouseActivate(WPARAM wParam, LPARAM lParam) {
  if (placing_) {
    placing_ = false;
    if (placingPaused_ && game_.IsPaused()) SetPaused(false);
  }
  return DefWindowProcW(hwnd_, WM_MOUSEACTIVATE, wParam, lParam);
}

// A new place or size pauses at once, as it does wherever the player made it: the frame cannot
// tell a window manager's placing from the player until the placing is over.
void MainFrame::PauseForPlace() {
  if (game_.IsPaused()) return;
  SetPaused(true);
  placingPaused_ = placing_;
}

// Like losing the focus: the game waits for the pause button.
void MainFrame::PauseForWindow() {
  if (!game_.IsPaused()) SetPaused(true);
}

void MainFrame::OnAbout(WORD, HWND) {
  PauseGuard guard(*this);
  // A reference of its own, so the call never depends on the start-up handle.
  HMODULE library = LoadLibraryW(kVelcoreLibraryName);
  if (!library) return;
  FARPROC proc = GetProcAddressW(library, kAboutBoxName);
  if (auto about = reinterpret_cast<AboutBoxFn>(reinterpret_cast<void (*)()>(proc))) {
    const AboutBoxInfo info = {sizeof info, instance_,      hwnd_,
                               IDI_TALVEX,  IDS_ABOUT_TEXT, IDS_ABOUT_CAPTION};
    about(&info);
  }
  FreeLibrary(library);
}

void MainFrame::OnOptions(WORD, HWND) {
  PauseGuard guard(*this);
  OptionsDialog dialog(settings_.InitialLevel + 1, settings_.PlaySound, settings_.ShowPreview);
  options_ = &dialog;
  // The frame, even when another program's window is the active one.
  const INT_PTR result = dialog.Run(instance_, hwnd_);
  // The session's end may have kept it already.
  const bool kept = options_ == nullptr;
  options_ = nullptr;
  if (result == IDOK && !kept) KeepOptions(dialog);
}

void MainFrame::KeepOptions(const OptionsDialog& dialog) {
  options_ = nullptr;
  settings_.InitialLevel = dialog.level - 1;
  settings_.PlaySound = dialog.playSound == 1;
  settings_.ShowPreview = dialog.showPreview == 1;
  WriteSettings(settings_);
  if (!settings_.ShowPreview) preview_.SetPiece(nullptr);
}

int MainFrame::ShowScores(int newScore) {
  auto scores = FindVelcoreExport<ScoresBoxFn>(kScoresBoxName);
  if (!scores) return 0;
  const ScoresBoxInfo info = {sizeof info, instance_, hwnd_,          kGameId,
                              kScorePath,  newScore,  kScoreTableSize};
  return scores(&info);
}

void MainFrame::OnScores(WORD, HWND) {
  PauseGuard guard(*this);
  ShowScores(0);
}

void MainFrame::OnNewGame(WORD, HWND) {
  game_.Stop();
  game_.NewGame(static_cast<int>(settings_.InitialLevel));
}

void MainFrame::OnPause(WORD, HWND) {
  SetPaused(!game_.IsPaused());
}

void MainFrame::SetPaused(bool paused) {
  placingPaused_ = false;
  game_.SetPaused(paused);
  ShowPauseState();
}

void MainFrame::ShowPauseState() {
  // The menu bar takes the toolbar messages of its buttons, as on the handheld.
  if (menuBar_) {
    SendMessageW(menuBar_, TB_CHECKBUTTON, IDM_PAUSE, MAKELPARAM(game_.IsPaused() ? 1 : 0, 0));
  }
}

void MainFrame::SetIcons() {
  // The class has no icon; the window carries the program's in the sizes the desktop asks for.
  const struct {
    WPARAM which;
    int width, height;
  } kIcons[2] = {{ICON_BIG, SM_CXICON, SM_CYICON}, {ICON_SMALL, SM_CXSMICON, SM_CYSMICON}};
  for (int i = 0; i < 2; ++i) {
    icons_[i] = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TALVEX), IMAGE_ICON,
                                              GetSystemMetrics(kIcons[i].width),
                                              GetSystemMetrics(kIcons[i].height), 0));
    if (icons_[i])
      SendMessageW(hwnd_, WM_SETICON, kIcons[i].which, reinterpret_cast<LPARAM>(icons_[i]));
  }
}

void MainFrame::OnExit(WORD, HWND) {
  DestroyWindow(hwnd_);
}

void MainFrame::SetNumber(Label label, int value) {
  swprintf(text_, sizeof text_ / sizeof text_[0], L"%d", value);
  if (labels_[label]) SetWindowTextW(labels_[label], text_);
}

void MainFrame::OnGameStarted() {
  ShowPauseState();
  SetNumber(ScoreValue, game_.Score());
  SetNumber(RowsValue, game_.Rows());
  SetNumber(LevelValue, game_.Level() + 1);
}

void MainFrame::OnPieceLocked() {
  SetNumber(ScoreValue, game_.Score());
}

void MainFrame::OnRowsRemoved(bool levelRaised) {
  PlayRowSound(instance_, settings_.PlaySound, levelRaised);
  SetNumber(RowsValue, game_.Rows());
  if (levelRaised) SetNumber(LevelValue, game_.Level() + 1);
}

void MainFrame::OnNextPiece() {
  if (settings_.ShowPreview) preview_.SetPiece(game_.NextPiece());
}

void MainFrame::OnGameOver(int score) {
  ShowPauseState();
  if (score != 0 && ShowScores(score) != 0) return;
  wchar_t text[kMessageLength] = {};
  LoadStringW(instance_, IDS_GAME_OVER, text, kMessageLength);
  // Without a caption the box would read "Error": the end of a game is no failure.
  wchar_t caption[kMessageLength] = {};
  LoadStringW(instance_, IDS_TALVENOR, caption, kMessageLength);
  MessageBoxW(hwnd_, text, caption, MB_OK);
}
