#pragma once
// The contract between the game and velcore.dll: the records the game fills, the two button
// messages the library sends back, and the exports, looked up by these exact names.
#include <windows.h>

#include <cstdint>

// Sent to the registered target window, synchronously, with the action's "Id" as wParam.
constexpr UINT WM_KEYTARGET_DOWN = WM_USER + 123;
constexpr UINT WM_KEYTARGET_UP = WM_USER + 124;

struct KeyTargetInfo {
  DWORD size;               // sizeof(KeyTargetInfo)
  HWND target;              // receives the button messages
  const wchar_t* keysPath;  // key map under HKEY_CURRENT_USER; may be null
};

struct AboutBoxInfo {
  DWORD size;          // sizeof(AboutBoxInfo)
  HINSTANCE instance;  // module holding the icon and the two strings
  HWND owner;
  UINT iconId;     // 0: no icon
  UINT textId;     // 0: the template's text
  UINT captionId;  // 0: the template's caption
};

struct ScoresBoxInfo {
  DWORD size;          // sizeof(ScoresBoxInfo)
  HINSTANCE instance;  // the caller's module; not used
  HWND owner;
  int32_t gameId;          // names the game in the publishing code
  const wchar_t* keyPath;  // score table under HKEY_CURRENT_USER
  int32_t newScore;        // 0: no new score, only show the table
  int32_t tableSize;       // always 10; not read
};

// The place and width of every field, on both architectures: layout_check.cpp.

// Every export returns a 32-bit int and takes at most one argument. UnregisterKeyTarget takes a
// placeholder the caller sets to 0, so that callers that pass one keep the stack balanced.
using RegisterKeyTargetFn = int(WINAPI*)(const KeyTargetInfo* info);
using UnregisterKeyTargetFn = int(WINAPI*)(int reserved);
using KeySetupBoxFn = int(WINAPI*)(HWND owner);
using ScoresBoxFn = int(WINAPI*)(const ScoresBoxInfo* info);
using AboutBoxFn = int(WINAPI*)(const AboutBoxInfo* info);

constexpr wchar_t kVelcoreLibraryName[] = L"velcore.dll";
constexpr wchar_t kRegisterKeyTargetName[] = L"RegisterKeyTarget";
constexpr wchar_t kUnregisterKeyTargetName[] = L"UnregisterKeyTarget";
constexpr wchar_t kKeySetupBoxName[] = L"KeySetupBox";
constexpr wchar_t kScoresBoxName[] = L"ScoresBox";
constexpr wchar_t kAboutBoxName[] = L"AboutBox";

#ifdef VELCORE_BUILD
extern "C" {
int WINAPI RegisterKeyTarget(const KeyTargetInfo* info);
int WINAPI UnregisterKeyTarget(int reserved);
int WINAPI KeySetupBox(HWND owner);
int WINAPI ScoresBox(const ScoresBoxInfo* info);
int WINAPI AboutBox(const AboutBoxInfo* info);
}
#endif
