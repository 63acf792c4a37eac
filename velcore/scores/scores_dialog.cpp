#include "velcore/scores/scores_dialog.h"

#include <algorithm>
#include <cwchar>

#include "pocketpc/screen.h"
#include "pocketpc/shell.h"
#include "velcore/codec/publish_code.h"
#include "velcore/resource.h"
#include "velcore/scores/ole_date.h"
#include "velcore/scores/publish_dialog.h"
#include "velcore/scores/score_table_registry.h"
#include "velcore/velcore_module.h"

namespace {

constexpr int kNameEditorLimit = static_cast<int>(kScoreNameLength);
constexpr int kDateColumnWidth = 150;

}  // namespace

void PlaceholderEditor::Watch(HWND editor) {
  untouched_ = ui::Subclass<PlaceholderEditor>::Install(editor, this);
}

LRESULT PlaceholderEditor::SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  bool changes = false;
  switch (message) {
    case WM_CHAR:
      // Text and erasing; control characters (Enter, Escape, copying) change nothing.
      changes = wParam >= L' ' || wParam == VK_BACK;
      break;
    case WM_KEYDOWN:
      changes = wParam == VK_DELETE;
      break;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case EM_REPLACESEL:
      changes = true;
      break;
  }
  if (untouched_ && changes) {
    untouched_ = false;
    ui::Subclass<PlaceholderEditor>::CallNext(hwnd, EM_SETSEL, 0, -1);
  }
  return ui::Subclass<PlaceholderEditor>::CallNext(hwnd, message, wParam, lParam);
}

ScoresDialog::ScoresDialog(const ScoresBoxInfo& info, ScoreTable& table, int newSlot)
    : info_(info), table_(table), newEntry_(newSlot >= 0 ? &table.Entry(newSlot) : nullptr) {}

std::span<const ui::MessageEntry<ScoresDialog>> ScoresDialog::Messages() {
  static const ui::MessageEntry<ScoresDialog> table[] = {
      {WM_INITDIALOG, &ScoresDialog::OnInitDialog},
      {kStartNameEntry, &ScoresDialog::OnStartNameEntry},
  };
  return table;
}

std::span<const ui::CommandEntry<ScoresDialog>> ScoresDialog::Commands() {
  static const ui::CommandEntry<ScoresDialog> table[] = {
      {IDOK, &ScoresDialog::OnOk},
      {IDC_PUBLISH, &ScoresDialog::OnPublish},
  };
  return table;
}

std::span<const ui::NotifyEntry<ScoresDialog>> ScoresDialog::Notifications() {
  static const ui::NotifyEntry<ScoresDialog> table[] = {
      {IDC_SCORE_LIST, LVN_GETDISPINFOW, &ScoresDialog::OnGetDispInfo},
      {IDC_SCORE_LIST, LVN_BEGINLABELEDITW, &ScoresDialog::OnBeginLabelEdit},
      {IDC_SCORE_LIST, LVN_ENDLABELEDITW, &ScoresDialog::OnEndLabelEdit},
      {IDC_SCORE_LIST, LVN_ITEMCHANGED, &ScoresDialog::OnItemChanged},
  };
  return table;
}

LRESULT ScoresDialog::OnInitDialog(WPARAM, LPARAM) {
  list_ = Item(IDC_SCORE_LIST);
  InsertColumns();
  // A new entry of its own slot is the last one, so its row goes in after the stored ones; one
  // over the lowest entry takes that entry's row.
  for (int slot = 0; slot < table_.Count(); ++slot) InsertRow(&table_.Entry(slot));
  if (!newEntry_ && table_.Count() > 0) {
    // Before sorting: the first entry read, wherever it ends up.
    SelectRow(FindRow(&table_.Entry(0)));
  }
  FitColumns();
  if (!pocketpc::IsHandheldScreen(pocketpc::WorkArea())) GrowToShowTheWholeTable();
  SendMessageW(list_, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ScoresDialog::CompareRows));
  PostMessageW(hwnd_, kStartNameEntry, 0, 0);
  SHINITDLGINFO shell = {SHIDIM_FLAGS, hwnd_,
                         SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SHInitDialog(&shell);
  return FALSE;
}

void ScoresDialog::InsertColumns() {
  // Widths come from FitColumns once the rows are in.
  static constexpr UINT kColumns[] = {IDS_COLUMN_NAME, IDS_COLUMN_SCORE, IDS_COLUMN_DATE};
  HINSTANCE module = VelcoreModule();
  for (int i = 0; i < 3; ++i) {
    wchar_t text[32] = {};
    LoadStringW(module, kColumns[i], text, 32);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.pszText = text;
    column.iSubItem = i;
    SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void ScoresDialog::InsertRow(ScoreEntry* entry) {
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = 0;
  item.pszText = LPSTR_TEXTCALLBACKW;
  item.lParam = reinterpret_cast<LPARAM>(entry);
  const int row =
      static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return;
  for (int column = 1; column < 3; ++column) {
    LVITEMW cell = {};
    cell.iSubItem = column;
    cell.pszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
  }
}

void ScoresDialog::SelectRow(int row) {
  if (row < 0) return;
  LVITEMW state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  SendMessageW(list_, LVM_ENSUREVISIBLE, row, FALSE);
}

void ScoresDialog::FitColumns() {
  int width = 50;
  if (HDC dc = GetDC(list_)) {
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(list_, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE size = {};
    if (GetTextExtentPoint32W(dc, L"00000000", 8, &size)) width = size.cx;
    if (old) SelectObject(dc, old);
    ReleaseDC(list_, dc);
  }
  RECT client = {};
  GetClientRect(list_, &client);
  SendMessageW(list_, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(client.right - width, 0));
  SendMessageW(list_, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(width + 1, 0));
  SendMessageW(list_, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(kDateColumnWidth, 0));
}

void ScoresDialog::GrowToShowTheWholeTable() {
  // A desktop has the room the handheld lacked: every column as wide as its widest text or
  // heading, and the list tall enough for a full table, so nothing needs a scroll bar. The
  // dialog grows round the list by the same amounts.
  int width = 0;
  for (int column = 0; column < 3; ++column) {
    const int fitted = static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0));
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(LVSCW_AUTOSIZE, 0));
    const int contents = static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0));
    LVCOLUMNW heading = {};
    wchar_t text[32] = {};
    heading.mask = LVCF_TEXT;
    heading.pszText = text;
    heading.cchTextMax = 32;
    SendMessageW(list_, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&heading));
    constexpr int kHeadingMargin = 16;
    const int headingWidth = static_cast<int>(
        SendMessageW(list_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)) +
        kHeadingMargin);
    const int best = std::max({fitted, contents, headingWidth});
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(best, 0));
    width += best;
  }
  RECT listWindow = {};
  RECT listClient = {};
  GetWindowRect(list_, &listWindow);
  GetClientRect(list_, &listClient);
  int height = listClient.bottom;
  RECT row = {};
  row.left = LVIR_BOUNDS;
  RECT header = {};
  if (SendMessageW(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) &&
      GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0)), &header)) {
    const int wanted =
        (header.bottom - header.top) + (row.bottom - row.top) * ScoreTable::kCapacity;
    height = std::max(height, wanted);
  }
  const RECT area = pocketpc::WorkArea();
  RECT dialog = {};
  GetWindowRect(hwnd_, &dialog);
  // Never shrinking, and no further than the work area has room for.
  const int roomX = (area.right - area.left) - (dialog.right - dialog.left);
  const int roomY = (area.bottom - area.top) - (dialog.bottom - dialog.top);
  const int growX = std::max(0, std::min(width - static_cast<int>(listClient.right), roomX));
  const int growY = std::max(0, std::min(height - static_cast<int>(listClient.bottom), roomY));
  if (growX == 0 && growY == 0) return;
  SetWindowPos(list_, nullptr, 0, 0, listWindow.right - listWindow.left + growX,
               listWindow.bottom - listWindow.top + growY, SWP_NOMOVE | SWP_NOZORDER);
  HWND publish = Item(IDC_PUBLISH);
  RECT button = {};
  GetWindowRect(publish, &button);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&button), 2);
  SetWindowPos(publish, nullptr, button.left, button.top + growY,
               button.right - button.left + growX, button.bottom - button.top, SWP_NOZORDER);
  SetWindowPos(hwnd_, nullptr, 0, 0, dialog.right - dialog.left + growX,
               dialog.bottom - dialog.top + growY, SWP_NOMOVE | SWP_NOZORDER);
}

int CALLBACK ScoresDialog::CompareRows(LPARAM first, LPARAM second, LPARAM) {
  return CompareForDisplay(reinterpret_cast<const ScoreEntry*>(first)->score,
                           reinterpret_cast<const ScoreEntry*>(second)->score);
}

int ScoresDialog::FindRow(const ScoreEntry* entry) const {
  if (!entry) return -1;
  LVFINDINFOW find = {};
  find.flags = LVFI_PARAM;
  find.lParam = reinterpret_cast<LPARAM>(entry);
  return static_cast<int>(
      SendMessageW(list_, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

ScoreEntry* ScoresDialog::EntryOfRow(int row) const {
  if (row < 0) return nullptr;
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<ScoreEntry*>(item.lParam);
}

LRESULT ScoresDialog::OnStartNameEntry(WPARAM, LPARAM) {
  const int row = FindRow(newEntry_);
  if (row < 0) return TRUE;
  SetFocus(list_);
  auto editor = reinterpret_cast<HWND>(SendMessageW(list_, LVM_EDITLABELW, row, 0));
  if (editor) {
    SendMessageW(editor, EM_LIMITTEXT, kNameEditorLimit, 0);
    placeholder_.Watch(editor);
  }
  return TRUE;
}

void ScoresDialog::OnOk(WORD, HWND control) {
  // The title bar's OK names no control; an IDOK from a control is not a close.
  if (control) return;
  // A name still being typed is the name: the editor may not get to hand it over itself.
  HWND editor = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETEDITCONTROL, 0, 0));
  if (editor && newEntry_) {
    wchar_t typed[kScoreNameLength + 1] = {};
    GetWindowTextW(editor, typed, kScoreNameLength + 1);
    newEntry_->SetName(typed);
  }
  // Stored before the dialog returns: at the session's end the process may not live that long.
  if (newEntry_ && !stored_) stored_ = ScoreTableRegistry::StoreNewEntry(info_.keyPath, *newEntry_);
  EndDialog(hwnd_, 1);
}

void ScoresDialog::OnPublish(WORD, HWND) {
  const int row = static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  const ScoreEntry* entry = EntryOfRow(row);
  if (!entry || !IsPublishedGameId(info_.gameId)) return;
  PublishDialog publish(*entry, info_.gameId);
  publish.Run(VelcoreModule(), IDD_PUBLISH, hwnd_);
}

LRESULT ScoresDialog::OnGetDispInfo(NMHDR* header) {
  LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
  if (item.iItem == -1 || !(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) {
    return 0;
  }
  const ScoreEntry* entry = EntryOfRow(item.iItem);
  item.pszText[0] = L'\0';
  if (!entry) return 0;
  switch (item.iSubItem) {
    case 0:
      lstrcpynW(item.pszText, entry->name, item.cchTextMax);
      break;
    case 1:
      std::swprintf(item.pszText, item.cchTextMax, L"%u", static_cast<unsigned>(entry->score));
      break;
    case 2:
      FormatOleDate(entry->date, item.pszText, item.cchTextMax);
      break;
  }
  return 0;
}

LRESULT ScoresDialog::OnBeginLabelEdit(NMHDR* header) {
  const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
  const bool editable = newEntry_ && EntryOfRow(item.iItem) == newEntry_;
  return editable ? FALSE : TRUE;
}

LRESULT ScoresDialog::OnEndLabelEdit(NMHDR* header) {
  const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
  // No text: the edit was cancelled and the name stays.
  if (item.iItem == -1 || !item.pszText) return 0;
  ScoreEntry* entry = EntryOfRow(item.iItem);
  // Whatever the editor hands back, the name keeps to its field.
  if (entry && entry == newEntry_) entry->SetName(item.pszText);
  return 0;
}

LRESULT ScoresDialog::OnItemChanged(NMHDR* header) {
  const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
  if (change->uChanged & LVIF_STATE) {
    // A game number without a code offers no publishing at all.
    const bool selected = (change->uNewState & LVIS_SELECTED) != 0;
    EnableWindow(Item(IDC_PUBLISH), selected && IsPublishedGameId(info_.gameId));
  }
  return 0;
}
