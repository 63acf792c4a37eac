#include "shell/main_frame.h"

#include <commctrl.h>

#include <cwchar>

#include "pocketpc/shell.h"
#include "shell/options_dialog.h"
#include "shell/pause_guard.h"
#include "shell/res/resource.h"
#include "shell/row_sound.h"
#include "shell/velcore_library.h"
#include "velcore/interface/velcore.h"

namespace {
constexpr int kMenuBarImageSize = 16;
constexpr int kMessageLength = 128;
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

HWND MainFrame::Create(HINSTANCE instance, const RECT& area) {
  instance_ = instance;
  return Window::Create(WS_EX_WINDOWEDGE, L"Talvenor", WS_VISIBLE, area, nullptr, nullptr,
                        instance);
}

LRESULT MainFrame::OnCreate(WPARAM, LPARAM) {
  if (auto registerTarget = FindVelcoreExport<RegisterKeyTargetFn>(kRegisterKeyTargetName)) {
    const KeyTargetInfo info = {sizeof info, hwnd_, kKeysPath};
    registerTarget(&info);
  }
  SetIcons();

  SHMENUBARINFO bar = {sizeof bar, hwnd_, 0, IDR_MENUBAR, instance_, 0, 0, nullptr};
  // The menu bar comes from the program's own resources: without it the program is damaged and
  // could not even be left, so the window is not created.
  if (!SHCreateMenuBar(&bar)) return -1;
  menuBar_ = bar.hwndMB;
  CommandBar_AddBitmap(menuBar_, instance_, IDB_PAUSE, 1, kMenuBarImageSize, kMenuBarImageSize);
  RECT barRect = {};
  GetWindowRect(menuBar_, &barRect);

  ReadSettings(settings_);

  RECT client = {};
  GetClientRect(hwnd_, &client);
  const FrameLayout layout =
      ComputeLayout(client, barRect.bottom - barRect.top, MeasureTextHeight(hwnd_));
  game_.SetEvents(this);
  if (!CreateChildren(layout)) return -1;

  game_.NewGame(static_cast<int>(settings_.InitialLevel));
  return 0;
}

bool MainFrame::CreateChildren(const FrameLayout& layout) {
  static const wchar_t* const kCaptions[kLabelCount] = {L"Level", nullptr, L"Score",
                                                        nullptr,  L"Rows", nullptr};
  for (int i = 0; i < kLabelCount; ++i) {
    const RECT& r = layout.labels[i];
    labels_[i] =
        CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_CENTER, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, hwnd_, nullptr, instance_, nullptr);
    if (labels_[i] && kCaptions[i]) SetWindowTextW(labels_[i], kCaptions[i]);
  }
  if (!preview_.Create(0, nullptr, WS_CHILD | WS_VISIBLE, layout.preview, hwnd_, nullptr,
                       instance_)) {
    return false;
  }
  preview_.SetPainter(game_.Painter());
  game_.SetTexture(instance_, IDB_TEXTURE);
  return game_.Create(0, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                      layout.board, hwnd_, nullptr, instance_) != nullptr;
}

LRESULT MainFrame::OnDestroy(WPARAM, LPARAM) {
  if (auto unregisterTarget = FindVelcoreExport<UnregisterKeyTargetFn>(kUnregisterKeyTargetName)) {
    unregisterTarget(0);
  }
  if (game_.Hwnd()) DestroyWindow(game_.Hwnd());
  for (HICON& icon : icons_) {
    if (icon) DestroyIcon(icon);
    icon = nullptr;
  }
  PostQuitMessage(0);
  return 0;
}

LRESULT MainFrame::OnKeyTargetDown(WPARAM wParam, LPARAM) {
  game_.Press(static_cast<int>(wParam));
  return 0;
}

LRESULT MainFrame::OnKeyTargetUp(WPARAM, LPARAM) {
  game_.Release();
  return 0;
}

LRESULT MainFrame::OnActivate(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
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
  if (dialog.Run(instance_, GetActiveWindow()) != IDOK) return;
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
  MessageBoxW(hwnd_, text, nullptr, MB_OK);
}
