/* Pebbles: the smallest game on velcore.dll, and the worked example of docs/velcore.md.
   A cursor moves along a row of eight places and drops pebbles; "Finish" ends the game with
   the number of pebbles as its score. Everything the library does for a game is used: its
   buttons and key setup, its score table and its About box. */
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include "resource.h"
#include "velcore.h"

/* Everything of this game's lives under its own key beside the maker's other games. */
#define PEBBLES_ROOT L"Software\\Velmora\\Pebbles"
static const wchar_t kKeysPath[] = PEBBLES_ROOT L"\\Keys";
static const wchar_t kScorePath[] = PEBBLES_ROOT L"\\Score";
static const wchar_t kWindowClass[] = L"VelmoraPebbles";
static const int32_t kGameId = 42;
static const int kPlaces = 8;

enum { ActionLeft = 0, ActionRight = 1, ActionDrop = 2, ActionFinish = 3 };
static const wchar_t* const kActionNames[] = {L"Left", L"Right", L"Drop", L"Finish"};

/* The key map's defaults: the library reads and rewrites a key map but never creates one. */
struct DefaultKey {
  const wchar_t* subkey;
  DWORD id;
  DWORD code;
};
static const struct DefaultKey kDefaultKeys[] = {
    {L"1 Left", ActionLeft, 'A'},
    {L"2 Right", ActionRight, 'D'},
    {L"3 Drop", ActionDrop, VK_SPACE},
    {L"4 Finish", ActionFinish, 'F'},
};

static struct {
  HMODULE library;
  RegisterKeyTargetFn registerKeyTarget;
  UnregisterKeyTargetFn unregisterKeyTarget;
  KeySetupBoxFn keySetupBox;
  ScoresBoxFn scoresBox;
  AboutBoxFn aboutBox;
} velcore;

static struct {
  HINSTANCE instance;
  HWND status;
  int column;
  int32_t pebbles;
  wchar_t last[64];
} game;

static void WriteDefaultKeysIfMissing(void) {
  HKEY keys = NULL;
  size_t i;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeysPath, 0, KEY_READ, &keys) == ERROR_SUCCESS) {
    RegCloseKey(keys);
    return;
  }
  for (i = 0; i < sizeof kDefaultKeys / sizeof kDefaultKeys[0]; ++i) {
    const struct DefaultKey* key = &kDefaultKeys[i];
    const wchar_t* name = kActionNames[key->id];
    wchar_t path[128];
    HKEY action = NULL;
    swprintf(path, sizeof path / sizeof path[0], L"%ls\\%ls", kKeysPath, key->subkey);
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, NULL, 0, KEY_SET_VALUE, NULL, &action, NULL) !=
        ERROR_SUCCESS) {
      continue;
    }
    RegSetValueExW(action, L"Id", 0, REG_DWORD, (const BYTE*)&key->id, sizeof key->id);
    RegSetValueExW(action, L"Code", 0, REG_DWORD, (const BYTE*)&key->code, sizeof key->code);
    RegSetValueExW(action, L"Name", 0, REG_SZ, (const BYTE*)name,
                   (DWORD)((wcslen(name) + 1) * sizeof(wchar_t)));
    RegCloseKey(action);
  }
}

/* velcore.dll from this program's own folder, by its full name: a library of that name in the
   working directory or on the path is someone else's. */
static int LoadVelcore(void) {
  wchar_t path[MAX_PATH];
  wchar_t* slash;
  const DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 0;
  slash = wcsrchr(path, L'\\');
  if (!slash || (size_t)(slash + 1 - path) + wcslen(kVelcoreLibraryName) >= MAX_PATH) return 0;
  wcscpy(slash + 1, kVelcoreLibraryName);
  velcore.library = LoadLibraryW(path);
  if (!velcore.library) return 0;
  /* The export names are plain; desktop Windows looks them up by their narrow spelling. */
  velcore.registerKeyTarget =
      (RegisterKeyTargetFn)(void (*)(void))GetProcAddress(velcore.library, "RegisterKeyTarget");
  velcore.unregisterKeyTarget =
      (UnregisterKeyTargetFn)(void (*)(void))GetProcAddress(velcore.library, "UnregisterKeyTarget");
  velcore.keySetupBox =
      (KeySetupBoxFn)(void (*)(void))GetProcAddress(velcore.library, "KeySetupBox");
  velcore.scoresBox = (ScoresBoxFn)(void (*)(void))GetProcAddress(velcore.library, "ScoresBox");
  velcore.aboutBox = (AboutBoxFn)(void (*)(void))GetProcAddress(velcore.library, "AboutBox");
  return velcore.registerKeyTarget && velcore.unregisterKeyTarget && velcore.keySetupBox &&
         velcore.scoresBox && velcore.aboutBox;
}

static void ShowStatus(void) {
  wchar_t text[160];
  swprintf(text, sizeof text / sizeof text[0], L"Pebbles %d, place %d, last %ls", (int)game.pebbles,
           game.column + 1, game.last);
  SetWindowTextW(game.status, text);
}

static void NewGame(void) {
  game.column = 0;
  game.pebbles = 0;
  wcscpy(game.last, L"none");
  ShowStatus();
}

static int ShowScores(HWND owner, int32_t newScore) {
  ScoresBoxInfo info;
  info.size = sizeof info;
  info.instance = game.instance;
  info.owner = owner;
  info.gameId = kGameId;
  info.keyPath = kScorePath;
  info.newScore = newScore;
  info.tableSize = 10;
  return velcore.scoresBox(&info);
}

static void OnAction(HWND window, WPARAM action, int down) {
  if (action > ActionFinish) return;
  swprintf(game.last, sizeof game.last / sizeof game.last[0], L"%ls %ls", kActionNames[action],
           down ? L"down" : L"up");
  if (down) {
    switch (action) {
      case ActionLeft:
        if (game.column > 0) --game.column;
        break;
      case ActionRight:
        if (game.column < kPlaces - 1) ++game.column;
        break;
      case ActionDrop:
        ++game.pebbles;
        break;
      case ActionFinish:
        /* 0 from ScoresBox: no score, one too low for the table, or no dialog. */
        if (game.pebbles > 0) ShowScores(window, game.pebbles);
        NewGame();
        return;
    }
  }
  ShowStatus();
}

static void OnCommand(HWND window, WORD id) {
  AboutBoxInfo about;
  switch (id) {
    case IDM_NEW_GAME:
      NewGame();
      break;
    case IDM_SETUP_KEYS:
      velcore.keySetupBox(window);
      break;
    case IDM_SCORES:
      ShowScores(window, 0);
      break;
    case IDM_ABOUT:
      about.size = sizeof about;
      about.instance = game.instance;
      about.owner = window;
      about.iconId = IDI_PEBBLES;
      about.textId = IDS_ABOUT_TEXT;
      about.captionId = IDS_ABOUT_CAPTION;
      velcore.aboutBox(&about);
      break;
    case IDM_EXIT:
      DestroyWindow(window);
      break;
  }
}

static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      KeyTargetInfo keys;
      game.status = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8, 300,
                                    20, window, (HMENU)(INT_PTR)IDC_STATUS, game.instance, NULL);
      /* Registered before the window is shown: the library takes the buttons on activation. */
      keys.size = sizeof keys;
      keys.target = window;
      keys.keysPath = kKeysPath;
      velcore.registerKeyTarget(&keys);
      NewGame();
      return 0;
    }
    case WM_KEYTARGET_DOWN:
      OnAction(window, wParam, 1);
      return 0;
    case WM_KEYTARGET_UP:
      OnAction(window, wParam, 0);
      return 0;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam));
      return 0;
    case WM_DESTROY:
      velcore.unregisterKeyTarget(0);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
  WNDCLASSW wc;
  HWND window;
  MSG msg;
  (void)previous;
  (void)commandLine;
  game.instance = instance;
  if (!LoadVelcore()) return 1;
  WriteDefaultKeysIfMissing();
  ZeroMemory(&wc, sizeof wc);
  wc.lpfnWndProc = WindowProcedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PEBBLES));
  wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszMenuName = MAKEINTRESOURCEW(IDR_PEBBLES_MENU);
  wc.lpszClassName = kWindowClass;
  if (!RegisterClassW(&wc)) return 1;
  window = CreateWindowExW(0, kWindowClass, L"Pebbles", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 340, 140, NULL, NULL, instance, NULL);
  if (!window) return 1;
  ShowWindow(window, show);
  while (GetMessageW(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  /* The window, and with it the key target, is gone before the library goes. */
  FreeLibrary(velcore.library);
  return (int)msg.wParam;
}
