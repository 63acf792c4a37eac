// The ScoresBox export: load the table, let a new score in or refuse it, run the dialog, store.
#include <windows.h>
#include <commctrl.h>

#include "velcore/interface/velcore.h"
#include "velcore/resource.h"
#include "velcore/scores/score_table_registry.h"
#include "velcore/scores/scores_dialog.h"
#include "velcore/velcore_module.h"

extern "C" int WINAPI ScoresBox(const ScoresBoxInfo* info) {
  if (!info) return 0;
  ScoreTable table;
  ScoreTableRegistry::Load(table, info->keyPath);
  // Too low for a full table: no window at all.
  if (info->newScore != 0 && !table.Admits(info->newScore)) return 0;

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  ScoresDialog dialog(*info, table);
  if (dialog.Run(VelcoreModule(), IDD_SCORES, info->owner) != 1 || info->newScore == 0) return 0;
  ScoreTableRegistry::Save(table, info->keyPath);
  return 1;
}
