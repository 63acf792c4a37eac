// The ScoresBox export: load the table, let a new score in or refuse it, run the dialog, store.
#include <windows.h>
#include <commctrl.h>

#include "velcore/interface/velcore.h"
#include "velcore/resource.h"
#include "velcore/scores/ole_date.h"
#include "velcore/scores/score_table_registry.h"
#include "velcore/scores/scores_dialog.h"
#include "velcore/velcore_module.h"

extern "C" int WINAPI ScoresBox(const ScoresBoxInfo* info) {
  if (!info) return 0;
  ScoreTable table;
  ScoreTableRegistry::Load(table, info->keyPath);
  int newSlot = -1;
  if (info->newScore != 0) {
    wchar_t placeholder[kScoreNameLength] = {};
    LoadStringW(VelcoreModule(), IDS_ENTER_NAME, placeholder, kScoreNameLength);
    newSlot = table.TakeNewEntry(info->newScore, OleDateNow(), placeholder);
    // Too low for a full table: no window at all.
    if (newSlot < 0) return 0;
  }

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  ScoresDialog dialog(*info, table, newSlot);
  if (dialog.Run(VelcoreModule(), IDD_SCORES, info->owner) != 1 || newSlot < 0) return 0;
  return dialog.Stored() ? 1 : 0;
}
