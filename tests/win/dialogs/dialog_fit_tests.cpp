// The five dialogs as their templates make them, in the font they name: on the handheld's
// 240 x 320 screen every control lies inside the dialog and the screen and every text fits its
// control; on a desktop each keeps its template's size over its owner.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pocketpc/shell.h"
#include "shell/res/resource.h"
#include "tests/support/win_support.h"
#include "tests/support/work_area.h"
#include "velcore/interface/velcore.h"
#include "velcore/resource.h"

namespace {

using test_support::ClassOf;
using test_support::WindowText;

// Does what each dialog does first: the handheld's full-screen sizing.
INT_PTR CALLBACK InitLikeTheGame(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  SHINITDLGINFO info = {SHIDIM_FLAGS, dialog,
                        SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN | SHIDIF_SIZEDLGFULLSCREEN};
  SHInitDialog(&info);
  return TRUE;
}

struct Template {
  const char* name;
  bool inLibrary;  // velcore's, else the game's
  int id;
};
const Template kTemplates[] = {
    {"Options", false, IDD_OPTIONS}, {"Setup keys", true, IDD_KEY_SETUP},
    {"Scores", true, IDD_SCORES},    {"Publish score", true, IDD_PUBLISH},
    {"About", true, IDD_ABOUT},
};

class DialogFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    library_ = LoadLibraryW(kVelcoreLibraryName);
    ASSERT_NE(library_, nullptr);
  }
  void TearDown() override {
    if (library_) FreeLibrary(library_);
  }
  HWND Open(const Template& t, HWND owner) {
    HINSTANCE module = t.inLibrary ? library_ : GetModuleHandleW(nullptr);
    return CreateDialogParamW(module, MAKEINTRESOURCEW(t.id), owner, &InitLikeTheGame, 0);
  }
  HMODULE library_ = nullptr;
};

std::string Describe(HWND control) {
  std::wstring text = WindowText(control);
  return std::string(text.begin(), text.end()) + " (id " + std::to_string(GetDlgCtrlID(control)) +
         ")";
}

// The text as the control draws it: broken at spaces where too wide. Wider than the control
// when one word alone is; taller when the lines do not all fit.
void ExpectTextFits(HWND control, int reserved) {
  const std::wstring text = WindowText(control);
  if (text.empty()) return;
  RECT client = {};
  GetClientRect(control, &client);
  HDC dc = GetDC(control);
  ASSERT_NE(dc, nullptr);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT drawn = {0, 0, client.right - reserved, 0};
  DrawTextW(dc, text.c_str(), -1, &drawn, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SIZE line = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &line);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  EXPECT_LE(drawn.right, client.right - reserved) << Describe(control);
  EXPECT_LE(drawn.bottom, client.bottom)
      << Describe(control) << ": one line is " << line.cx << " of " << client.right - reserved;
}

TEST_F(DialogFitTest, OnTheHandheldsScreenEveryControlAndTextFits) {
  test_support::WorkArea handheld(RECT{0, 0, 240, 320});
  ASSERT_TRUE(handheld.Set());
  for (const Template& t : kTemplates) {
    SCOPED_TRACE(t.name);
    HWND dialog = Open(t, nullptr);
    ASSERT_NE(dialog, nullptr);
    // The font the template names, not the system's.
    auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW description = {};
    ASSERT_NE(font, nullptr);
    GetObjectW(font, sizeof description, &description);
    EXPECT_STREQ(description.lfFaceName, L"MS Shell Dlg 2");

    RECT window = {}, client = {};
    GetWindowRect(dialog, &window);
    const RECT screen = {0, 0, 240, 320};
    EXPECT_TRUE(EqualRect(&window, &screen));
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT r = {};
      GetWindowRect(child, &r);
      EXPECT_TRUE(r.left >= client.left && r.top >= client.top && r.right <= client.right &&
                  r.bottom <= client.bottom)
          << Describe(child) << " at " << r.left << "," << r.top << " - " << r.right << ","
          << r.bottom;
      const std::wstring kind = ClassOf(child);
      const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
      if (kind == L"Static" && (style & SS_TYPEMASK) <= SS_RIGHT) {
        ExpectTextFits(child, 0);
      } else if (kind == L"Button") {
        const LONG_PTR type = style & BS_TYPEMASK;
        const bool box = type == BS_AUTOCHECKBOX || type == BS_CHECKBOX;
        // A check box's square and its gap; a push button's edges.
        ExpectTextFits(child, box ? GetSystemMetrics(SM_CXMENUCHECK) + 3
                                  : 2 * GetSystemMetrics(SM_CXEDGE) + 2);
      }
    }
    DestroyWindow(dialog);
  }
}

// Above handheld size a dialog keeps its template's size, centred over its owner and inside the
// work area.
TEST_F(DialogFitTest, OnADesktopEachKeepsItsSizeOverItsOwner) {
  const RECT kArea = {0, 0, 1024, 768};
  test_support::WorkArea desktop(kArea);
  ASSERT_TRUE(desktop.Set());
  const struct {
    const char* name;
    RECT owner;
  } kOwners[] = {{"centred", {300, 100, 700, 660}}, {"near the edge", {-200, 500, 100, 900}}};
  for (const auto& o : kOwners) {
    SCOPED_TRACE(o.name);
    HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_OVERLAPPED | WS_VISIBLE, o.owner.left,
                                 o.owner.top, o.owner.right - o.owner.left,
                                 o.owner.bottom - o.owner.top, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TALVEX));
    ASSERT_NE(icon, nullptr);
    SendMessageW(owner, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageW(owner, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    for (const Template& t : kTemplates) {
      SCOPED_TRACE(t.name);
      HWND dialog = Open(t, owner);
      ASSERT_NE(dialog, nullptr);
      // The template's size in this font, as the dialog manager makes it.
      RECT units = {};
      HINSTANCE module = t.inLibrary ? library_ : GetModuleHandleW(nullptr);
      HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(t.id), RT_DIALOG);
      ASSERT_NE(found, nullptr);
      const auto* words = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
      ASSERT_EQ(words[1], 0xFFFF) << "an extended template";
      const auto* sizes = reinterpret_cast<const short*>(words + 9);  // x, y, cx, cy
      units = RECT{0, 0, sizes[2], sizes[3]};
      MapDialogRect(dialog, &units);
      RECT client = {}, window = {};
      GetClientRect(dialog, &client);
      GetWindowRect(dialog, &window);
      EXPECT_EQ(client.right, units.right);
      EXPECT_EQ(client.bottom, units.bottom);
      const LONG width = window.right - window.left, height = window.bottom - window.top;
      LONG left = o.owner.left + ((o.owner.right - o.owner.left) - width) / 2;
      LONG top = o.owner.top + ((o.owner.bottom - o.owner.top) - height) / 2;
      left = std::clamp(left, kArea.left, kArea.right - width);
      top = std::clamp(top, kArea.top, kArea.bottom - height);
      EXPECT_EQ(window.left, left);
      EXPECT_EQ(window.top, top);
      // The game's icon in the title bar, not the platform's default.
      for (WPARAM size : {ICON_SMALL, ICON_BIG}) {
        EXPECT_EQ(SendMessageW(dialog, WM_GETICON, size, 0), reinterpret_cast<LRESULT>(icon));
      }
      DestroyWindow(dialog);
    }
    DestroyWindow(owner);
  }
}

}  // namespace
