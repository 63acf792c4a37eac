/* Compiled, not run: velcore.h as a game in C99 and one in C++11 see it (this one file compiled
   as each), every name it declares used once. */
#include "velcore/interface/velcore.h"

/* The records have the layout of the library's own build (pinned field by field there). */
#if defined(_WIN64)
typedef char key_target_info_size[sizeof(KeyTargetInfo) == 24 ? 1 : -1];
typedef char about_box_info_size[sizeof(AboutBoxInfo) == 40 ? 1 : -1];
typedef char scores_box_info_size[sizeof(ScoresBoxInfo) == 48 ? 1 : -1];
#else
typedef char key_target_info_size[sizeof(KeyTargetInfo) == 12 ? 1 : -1];
typedef char about_box_info_size[sizeof(AboutBoxInfo) == 24 ? 1 : -1];
typedef char scores_box_info_size[sizeof(ScoresBoxInfo) == 28 ? 1 : -1];
#endif

int UseEveryName(HWND window, HINSTANCE instance, UINT message, WPARAM action);

int UseEveryName(HWND window, HINSTANCE instance, UINT message, WPARAM action) {
  KeyTargetInfo keys = {sizeof(KeyTargetInfo), NULL, L"Software\\Velmora\\Sample\\Keys"};
  AboutBoxInfo about = {sizeof(AboutBoxInfo), NULL, NULL, 1, 2, 3};
  ScoresBoxInfo scores = {
      sizeof(ScoresBoxInfo), NULL, NULL, 7, L"Software\\Velmora\\Sample\\Score", 0, 10};
  RegisterKeyTargetFn registerKeyTarget = &RegisterKeyTarget;
  UnregisterKeyTargetFn unregisterKeyTarget = &UnregisterKeyTarget;
  KeySetupBoxFn keySetupBox = &KeySetupBox;
  ScoresBoxFn scoresBox = &ScoresBox;
  AboutBoxFn aboutBox = &AboutBox;
  const wchar_t* names[] = {kVelcoreLibraryName, kRegisterKeyTargetName, kUnregisterKeyTargetName,
                            kKeySetupBoxName,    kScoresBoxName,         kAboutBoxName};
  int result = 0;
  keys.target = window;
  about.instance = instance;
  about.owner = window;
  scores.instance = instance;
  scores.owner = window;
  switch (message) {
    case WM_KEYTARGET_DOWN:
      result = registerKeyTarget(&keys) + (int)action;
      break;
    case WM_KEYTARGET_UP:
      result = unregisterKeyTarget(0) + keySetupBox(window);
      break;
    default:
      result = scoresBox(&scores) + aboutBox(&about);
      break;
  }
  return result + (int)names[0][0];
}
