/* The contract between a game and velcore.dll: the records the game fills, the two button
   messages the library sends back, and the five exports, by these exact names. Written for C99
   and for C++11 and later; docs/velcore.md is its reference. */
#ifndef VELCORE_INTERFACE_VELCORE_H
#define VELCORE_INTERFACE_VELCORE_H

#include <windows.h>

#ifdef __cplusplus
#include <cstddef>
#include <cstdint>
#else
#include <stddef.h>
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Sent to the registered target window, synchronously, with the action's "Id" as wParam. */
#ifdef __cplusplus
constexpr UINT WM_KEYTARGET_DOWN = WM_USER + 123;
constexpr UINT WM_KEYTARGET_UP = WM_USER + 124;
#else
#define WM_KEYTARGET_DOWN (WM_USER + 123)
#define WM_KEYTARGET_UP (WM_USER + 124)
#endif

typedef struct KeyTargetInfo {
  DWORD size;              /* sizeof(KeyTargetInfo) */
  HWND target;             /* receives the button messages */
  const wchar_t* keysPath; /* key map under HKEY_CURRENT_USER; may be null */
} KeyTargetInfo;

typedef struct AboutBoxInfo {
  DWORD size;         /* sizeof(AboutBoxInfo) */
  HINSTANCE instance; /* module holding the icon and the two strings */
  HWND owner;
  UINT iconId;    /* 0: no icon */
  UINT textId;    /* 0: the template's text */
  UINT captionId; /* 0: the template's caption */
} AboutBoxInfo;

typedef struct ScoresBoxInfo {
  DWORD size;         /* sizeof(ScoresBoxInfo) */
  HINSTANCE instance; /* the caller's module; not used */
  HWND owner;
  int32_t gameId;         /* names the game in the publishing code: 0-99, else no code */
  const wchar_t* keyPath; /* score table under HKEY_CURRENT_USER */
  int32_t newScore;       /* 0: no new score, only show the table */
  int32_t tableSize;      /* always 10; not read */
} ScoresBoxInfo;

/* The place and width of every field, on both architectures: layout_check.cpp. */

/* Every export returns a 32-bit int and takes at most one argument. UnregisterKeyTarget takes a
   placeholder the caller sets to 0, so that callers that pass one keep the stack balanced. */
typedef int(WINAPI* RegisterKeyTargetFn)(const KeyTargetInfo* info);
typedef int(WINAPI* UnregisterKeyTargetFn)(int reserved);
typedef int(WINAPI* KeySetupBoxFn)(HWND owner);
typedef int(WINAPI* ScoresBoxFn)(const ScoresBoxInfo* info);
typedef int(WINAPI* AboutBoxFn)(const AboutBoxInfo* info);

/* The library's file and its exports' names, wide as the handheld's lookup by name takes them. */
#ifdef __cplusplus
#define VELCORE_NAME constexpr wchar_t
#else
#define VELCORE_NAME static const wchar_t
#endif
VELCORE_NAME kVelcoreLibraryName[] = L"velcore.dll";
VELCORE_NAME kRegisterKeyTargetName[] = L"RegisterKeyTarget";
VELCORE_NAME kUnregisterKeyTargetName[] = L"UnregisterKeyTarget";
VELCORE_NAME kKeySetupBoxName[] = L"KeySetupBox";
VELCORE_NAME kScoresBoxName[] = L"ScoresBox";
VELCORE_NAME kAboutBoxName[] = L"AboutBox";
#undef VELCORE_NAME

/* For callers that link the import library instead of looking the exports up. */
int WINAPI RegisterKeyTarget(const KeyTargetInfo* info);
int WINAPI UnregisterKeyTarget(int reserved);
int WINAPI KeySetupBox(HWND owner);
int WINAPI ScoresBox(const ScoresBoxInfo* info);
int WINAPI AboutBox(const AboutBoxInfo* info);

#ifdef __cplusplus
}
#endif

#endif
