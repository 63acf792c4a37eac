// The AboutBox export.
#include <windows.h>

#include "velcore/about/about_dialog.h"
#include "velcore/interface/velcore.h"
#include "velcore/resource.h"
#include "velcore/velcore_module.h"

extern "C" int WINAPI AboutBox(const AboutBoxInfo* info) {
  if (!info) return -1;
  AboutDialog dialog(*info);
  return static_cast<int>(dialog.Run(VelcoreModule(), IDD_ABOUT, info->owner));
}
