// The menu-bar stand-in on real windows: built from its resource, docked at the bottom of its
// parent, drop-down popups and buttons delivering their commands to the parent.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <new>
#include <string>
#include <vector>

#include "pocketpc/shell.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/win_support.h"
#include "ui/window.h"

// Every allocation through operator new, counted, to show what a menu bar leaves behind.
std::atomic<long> liveAllocations{0};

void* operator new(std::size_t size) {
  void* p = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
  if (!p) throw std::bad_alloc();
  ++liveAllocations;
  return p;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  --liveAllocations;
  HeapFree(GetProcessHeap(), 0, p);
}
void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}

namespace {

constexpr UINT kMenuBar = 300;
constexpr UINT kBitmap = 310;
constexpr int kDestroyingCommand = 602;

class Parent : public ui::Window<Parent> {
 public:
  static constexpr const wchar_t* kClassName = L"TalvenorMenuBarParent";
  static std::span<const ui::MessageEntry<Parent>> Messages() {
    static const ui::MessageEntry<Parent> table[] = {{WM_COMMAND, &Parent::OnCommand}};
    return table;
  }
  std::vector<WORD> commands;
  bool destroyOnCommand = false;

 private:
  LRESULT OnCommand(WPARAM w, LPARAM) {
    commands.push_back(LOWORD(w));
    if (destroyOnCommand && LOWORD(w) == kDestroyingCommand) DestroyWindow(hwnd_);
    return 0;
  }
};

class MenuBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HWND hwnd = parent_.Create(0, L"parent", WS_POPUP | WS_VISIBLE, RECT{0, 0, 240, 320}, nullptr,
                               nullptr, Instance());
    ASSERT_NE(hwnd, nullptr);
  }
  void TearDown() override {
    if (parent_.Hwnd()) DestroyWindow(parent_.Hwnd());
  }
  static HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

  HWND CreateBar(UINT resource) {
    SHMENUBARINFO info = {sizeof info, parent_.Hwnd(), 0, resource, Instance(), 0, 0, nullptr};
    return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
  }
  static HWND Toolbar(HWND bar) { return FindWindowExW(bar, nullptr, TOOLBARCLASSNAMEW, nullptr); }

  // Presses and releases the mouse over the button of `command`, as a tap would.
  static void Tap(HWND bar, int command) {
    HWND toolbar = Toolbar(bar);
    RECT r = {};
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&r)));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(toolbar, WM_MOUSEMOVE, 0, at);
    PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(toolbar, WM_LBUTTONUP, 0, at);
  }

  Parent parent_;
};

TEST_F(MenuBarTest, ButtonsComeFromTheResource) {
  HWND bar = CreateBar(kMenuBar);
  ASSERT_NE(bar, nullptr);
  HWND toolbar = Toolbar(bar);
  ASSERT_NE(toolbar, nullptr);
  ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 3);
  struct Expected {
    int command;
    int image;
    bool dropDown;
    const wchar_t* text;
  } expected[] = {
      {700, I_IMAGENONE, true, L"Menu"}, {701, 0, false, L""}, {702, I_IMAGENONE, false, L"Go"}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    TBBUTTON b = {};
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)));
    EXPECT_EQ(b.idCommand, expected[i].command);
    EXPECT_EQ(b.iBitmap, expected[i].image);
    EXPECT_EQ((b.fsStyle & BTNS_DROPDOWN) != 0, expected[i].dropDown);
    EXPECT_TRUE(b.fsState & TBSTATE_ENABLED);
    wchar_t text[32] = {};
    SendMessageW(toolbar, TB_GETBUTTONTEXTW, b.idCommand, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, expected[i].text);
  }

  // The image button's tool tip is its second string.
  NMTTDISPINFOW tip = {};
  tip.hdr = {toolbar, 701, TTN_GETDISPINFOW};
  SendMessageW(bar, WM_NOTIFY, 701, reinterpret_cast<LPARAM>(&tip));
  EXPECT_EQ(tip.lpszText, MAKEINTRESOURCEW(801));
  EXPECT_EQ(tip.hinst, Instance());
}

TEST_F(MenuBarTest, DocksAtTheBottomOfTheParent) {
  HWND bar = CreateBar(kMenuBar);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetParent(bar), parent_.Hwnd());
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass ? "after an image" : "text only");
    RECT client = {}, rect = {};
    GetClientRect(parent_.Hwnd(), &client);
    GetWindowRect(bar, &rect);
    MapWindowPoints(nullptr, parent_.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_GT(rect.bottom - rect.top, 16);
    EXPECT_LT(rect.bottom - rect.top, 80);
    EXPECT_EQ(rect.bottom, client.bottom);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, client.right);
    ASSERT_EQ(CommandBar_AddBitmap(bar, Instance(), kBitmap, 1, 16, 16), 0);
  }
}

TEST_F(MenuBarTest, AddBitmapCountsImagesAndRefusesBadInput) {
  HWND bar = CreateBar(kMenuBar);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(CommandBar_AddBitmap(bar, Instance(), 399, 1, 16, 16), -1);  // no such bitmap
  EXPECT_EQ(CommandBar_AddBitmap(bar, Instance(), kBitmap, 0, 16, 16), -1);
  EXPECT_EQ(CommandBar_AddBitmap(parent_.Hwnd(), Instance(), kBitmap, 1, 16, 16), -1);
  EXPECT_EQ(CommandBar_AddBitmap(nullptr, Instance(), kBitmap, 1, 16, 16), -1);
  EXPECT_EQ(CommandBar_AddBitmap(bar, Instance(), kBitmap, 1, 16, 16), 0);
}

// The pause image (two blue bars on grey) as the toolbar draws it: at the bar's scale, and the
// same share of it blue as at 96 dots per inch, not a 16-pixel image in a larger slot. Its
// stretched copy goes with the bar.
TEST_F(MenuBarTest, ImagesAreDrawnAtTheScreensScale) {
  const test_support::ScreenDpi resolution = test_support::ScreenResolution();
  if (resolution.expected != 0) {
    EXPECT_EQ(resolution.actual, resolution.expected);
  }
  const int dpi = resolution.actual;
  // A first bar makes what the toolbar and the system keep for the process once.
  HWND bar = CreateBar(kMenuBar);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(CommandBar_AddBitmap(bar, Instance(), kBitmap, 1, 16, 16), 0);
  DestroyWindow(bar);
  const int before = OwnGdiObjects();
  bar = CreateBar(kMenuBar);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(CommandBar_AddBitmap(bar, Instance(), kBitmap, 1, 16, 16), 0);
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Toolbar(bar), TB_GETIMAGELIST, 0, 0));
  ASSERT_NE(images, nullptr);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(images, &cx, &cy));
  EXPECT_EQ(cx, MulDiv(16, dpi, 96));
  EXPECT_EQ(cy, MulDiv(16, dpi, 96));

  BITMAPINFO info = {};
  info.bmiHeader = {sizeof info.bmiHeader, cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(target, nullptr);
  HGDIOBJ old = SelectObject(dc, target);
  PatBlt(dc, 0, 0, cx, cy, WHITENESS);
  ImageList_Draw(images, 0, dc, 0, 0, ILD_NORMAL);
  GdiFlush();
  int blue = 0;
  const auto* pixels = static_cast<const DWORD*>(bits);
  for (int i = 0; i < cx * cy; ++i) blue += (pixels[i] & 0xFFFFFF) == 0x0000FF;
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  // 60 of the 256 pixels are blue at 96 dots per inch.
  EXPECT_NEAR(static_cast<double>(blue) / (cx * cy), 60.0 / 256, 0.02) << blue;

  DestroyWindow(bar);
  if (before >= 0) {
    EXPECT_EQ(OwnGdiObjects(), before) << "before: " << before;
  }
}

TEST_F(MenuBarTest, MalformedResourcesCreateNothing) {
  for (UINT resource : {301u, 302u, 303u, 399u}) {
    SCOPED_TRACE(resource);
    SHMENUBARINFO info = {sizeof info, parent_.Hwnd(), 0, resource, Instance(), 0, 0, nullptr};
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_EQ(info.hwndMB, nullptr);
    EXPECT_EQ(GetWindow(parent_.Hwnd(), GW_CHILD), nullptr);
  }
  EXPECT_FALSE(SHCreateMenuBar(nullptr));
  SHMENUBARINFO orphan = {sizeof orphan, nullptr, 0, kMenuBar, Instance(), 0, 0, nullptr};
  EXPECT_FALSE(SHCreateMenuBar(&orphan));
}

// The bar's object belongs to its window: destroying the window, or a build that fails after
// the window exists, frees it.
TEST_F(MenuBarTest, TheBarsObjectGoesWithItsWindow) {
  struct Case {
    const char* name;
    UINT resource;
    bool destroyParent;
  } cases[] = {
      {"bar destroyed", kMenuBar, false},
      {"parent destroyed", kMenuBar, true},
      {"malformed resource", 302, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!parent_.Hwnd()) SetUp();
    const long before = liveAllocations;
    HWND bar = CreateBar(c.resource);
    if (c.destroyParent) {
      DestroyWindow(parent_.Hwnd());
    } else if (bar) {
      DestroyWindow(bar);
    }
    const long after = liveAllocations;
    EXPECT_EQ(bar != nullptr, c.resource == kMenuBar);
    EXPECT_FALSE(bar && IsWindow(bar));
    EXPECT_EQ(after, before);
  }
}

TEST_F(MenuBarTest, ButtonCommandReachesTheParent) {
  HWND bar = CreateBar(kMenuBar);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(CommandBar_AddBitmap(bar, Instance(), kBitmap, 1, 16, 16), 0);
  Tap(bar, 701);
  test_support::PumpUntil(2000, [&] { return parent_.commands.size() == 1; });
  EXPECT_EQ(parent_.commands, std::vector<WORD>{701});
  Tap(bar, 702);
  test_support::PumpUntil(2000, [&] { return parent_.commands.size() == 2; });
  EXPECT_EQ(parent_.commands, (std::vector<WORD>{701, 702}));
}

TEST_F(MenuBarTest, BarAnswersTheToolbarMessagesOfItsButtons) {
  HWND bar = CreateBar(kMenuBar);
  ASSERT_NE(bar, nullptr);
  HWND toolbar = Toolbar(bar);
  for (BOOL checked : {TRUE, FALSE}) {
    SCOPED_TRACE(checked ? "checked" : "unchecked");
    EXPECT_TRUE(SendMessageW(bar, TB_CHECKBUTTON, 702, MAKELPARAM(checked, 0)));
    EXPECT_EQ(SendMessageW(toolbar, TB_ISBUTTONCHECKED, 702, 0) != 0, checked != FALSE);
    EXPECT_EQ(SendMessageW(bar, TB_ISBUTTONCHECKED, 702, 0) != 0, checked != FALSE);
    EXPECT_EQ((SendMessageW(bar, TB_GETSTATE, 702, 0) & TBSTATE_CHECKED) != 0, checked != FALSE);
    EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONCHECKED, 701, 0));  // only that button
  }
  EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, 999, 0), -1);  // no such button
}

// While the popup runs its own loop, this timer looks at it and picks the item after the
// separator with the keyboard.
struct PopupProbe {
  std::vector<UINT> items;
  bool answered = false;
} g_probe;

void CALLBACK AnswerPopup(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = test_support::FindVisibleWindow(L"#32768");
  if (!popup || g_probe.answered) return;
  g_probe.answered = true;
  KillTimer(nullptr, id);
  auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i)
    g_probe.items.push_back(GetMenuItemID(menu, i));
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
    PostMessageW(popup, WM_KEYDOWN, key, 0);
    PostMessageW(popup, WM_KEYUP, key, 0xC0000001);
  }
}

TEST_F(MenuBarTest, DropDownOpensItsSubmenuAndSendsTheChoice) {
  for (bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "choice destroys the parent" : "plain choice");
    if (!parent_.Hwnd()) SetUp();
    parent_.commands.clear();
    parent_.destroyOnCommand = destroy;
    HWND bar = CreateBar(kMenuBar);
    ASSERT_NE(bar, nullptr);
    g_probe = {};
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &AnswerPopup);
    Tap(bar, 700);
    test_support::PumpUntil(3000, [&] { return !parent_.commands.empty(); });
    test_support::Pump(100);  // anything more would show up now
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_probe.answered);
    EXPECT_EQ(g_probe.items, (std::vector<UINT>{601, 0, 602}));
    EXPECT_EQ(parent_.commands, std::vector<WORD>{602});
    EXPECT_EQ(parent_.Hwnd() == nullptr, destroy);
    EXPECT_EQ(IsWindow(bar) == FALSE, destroy);
    if (!destroy) DestroyWindow(bar);
  }
}

}  // namespace
