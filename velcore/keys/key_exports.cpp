// The key target's exports, and its release when the library goes away.
#include <windows.h>

#include <commctrl.h>

#include "velcore/interface/velcore.h"
#include "velcore/keys/key_setup_dialog.h"
#include "velcore/keys/key_target.h"
#include "velcore/resource.h"
#include "velcore/velcore_module.h"

extern "C" int WINAPI RegisterKeyTarget(const KeyTargetInfo* info) {
  KeyTarget::Instance().Register(info);
  return 0;
}

extern "C" int WINAPI UnregisterKeyTarget(int /*reserved*/) {
  KeyTarget::Instance().Unregister();
  return 0;
}

extern "C" int WINAPI KeySetupBox(HWND owner) {
  KeyTarget& target = KeyTarget::Instance();
  const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  KeySetupDialog dialog(target.Map(), target.Buttons());
  dialog.Run(VelcoreModule(), IDD_KEY_SETUP, owner);
  target.SaveKeyMap();
  target.ReleaseButtons();
  // Called from a dialog of the game, the game is still in front through the window it owns.
  target.GrabButtonsIfInFront();
  return 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // Unloaded while a window is still hooked: put its procedure back, or its next message
  // would run code that is gone. At process exit the windows go too, so nothing is needed.
  if (reason == DLL_PROCESS_DETACH && !reserved) KeyTarget::Instance().Shutdown();
  return TRUE;
}
