// The options dialog, run modally and driven from inside its own message loop.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/options_dialog.h"
#include "shell/res/resource.h"
#include "shell/velcore_library.h"
#include "tests/support/modal_driver.h"
#include "tests/support/win_support.h"
#include "tests/support/work_area.h"

namespace {

std::vector<HWND> g_setupOwners;

}  // namespace

// Stands in for the library's button-assignment dialog: this test program is the "library".
extern "C" __declspec(dllexport) int WINAPI KeySetupBox(HWND owner) {
  g_setupOwners.push_back(owner);
  return 0;
}

namespace {

// Runs the dialog with `script` played against it, then closes it with the title-bar OK.
INT_PTR RunWith(OptionsDialog& dialog, std::function<void(HWND)> script) {
  test_support::ModalDriver driver({[&](HWND shown) {
    EXPECT_EQ(shown, dialog.Hwnd());
    script(shown);
    if (IsWindow(shown)) test_support::CloseWithOk(shown);
  }});
  return driver.Run([&] { return dialog.Run(GetModuleHandleW(nullptr), nullptr); });
}

std::wstring Text(HWND dialog, int id) {
  wchar_t text[32] = {};
  GetDlgItemTextW(dialog, id, text, 32);
  return text;
}

void Press(HWND dialog, WPARAM key, int times) {
  HWND edit = GetDlgItem(dialog, IDC_LEVEL);
  for (int i = 0; i < times; ++i) {
    SendMessageW(edit, WM_KEYDOWN, key, 1);
    SendMessageW(edit, WM_KEYUP, key, 0xC0000001);
  }
}

TEST(OptionsDialog, ShowsTheSettingsFullScreen) {
  test_support::WorkArea handheld(RECT{0, 0, 240, 320});
  ASSERT_TRUE(handheld.Set());
  OptionsDialog dialog(5, true, false);
  std::wstring level;
  LRESULT sound = -1, preview = -1;
  int low = 0, high = 0;
  RECT rect = {};
  const INT_PTR result = RunWith(dialog, [&](HWND d) {
    level = Text(d, IDC_LEVEL);
    sound = SendDlgItemMessageW(d, IDC_PLAY_SOUND, BM_GETCHECK, 0, 0);
    preview = SendDlgItemMessageW(d, IDC_SHOW_PREVIEW, BM_GETCHECK, 0, 0);
    SendDlgItemMessageW(d, IDC_LEVEL_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                        reinterpret_cast<LPARAM>(&high));
    GetWindowRect(d, &rect);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(level, L"5");
  EXPECT_EQ(sound, BST_CHECKED);
  EXPECT_EQ(preview, BST_UNCHECKED);
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 10);
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(rect.right - rect.left, work.right - work.left);
  EXPECT_EQ(rect.bottom - rect.top, work.bottom - work.top);
  EXPECT_EQ(dialog.level, 5u);
  EXPECT_EQ(dialog.playSound, 1);
  EXPECT_EQ(dialog.showPreview, 0);
}

TEST(OptionsDialog, LevelStopsAtOneAndTen) {
  struct Case {
    uint32_t start;
    WPARAM key;
    int presses;
    uint32_t expected;
  } cases[] = {{9, VK_UP, 3, 10}, {10, VK_UP, 1, 10}, {2, VK_DOWN, 3, 1}, {4, VK_UP, 2, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << " + " << c.presses);
    OptionsDialog dialog(c.start, true, true);
    std::wstring shown;
    EXPECT_EQ(RunWith(dialog,
                      [&](HWND d) {
                        Press(d, c.key, c.presses);
                        shown = Text(d, IDC_LEVEL);
                      }),
              1);
    EXPECT_EQ(shown, std::to_wstring(c.expected));
    EXPECT_EQ(dialog.level, c.expected);
  }
}

TEST(OptionsDialog, TenFitsTheLevelEditWhole) {
  OptionsDialog dialog(10, true, true);
  SIZE text = {};
  RECT format = {}, spin = {};
  int textLeft = 0, formatLeft = 0, formatRight = 0;  // the edit's own coordinates
  std::wstring shown;
  EXPECT_EQ(
      RunWith(dialog,
              [&](HWND d) {
                HWND level = GetDlgItem(d, IDC_LEVEL);
                shown = Text(d, IDC_LEVEL);
                SendMessageW(level, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
                formatLeft = format.left;
                formatRight = format.right;
                // Scrolled to the caret, a text too long starts left of the rectangle.
                textLeft = static_cast<short>(LOWORD(SendMessageW(level, EM_POSFROMCHAR, 0, 0)));
                // Measured as the edit draws it: its own font in its own device context.
                HDC dc = GetDC(level);
                auto font = reinterpret_cast<HFONT>(SendMessageW(level, WM_GETFONT, 0, 0));
                HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
                GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &text);
                SelectObject(dc, old);
                ReleaseDC(level, dc);
                MapWindowPoints(level, nullptr, reinterpret_cast<POINT*>(&format), 2);
                GetWindowRect(GetDlgItem(d, IDC_LEVEL_SPIN), &spin);
              }),
      1);
  EXPECT_EQ(shown, L"10");
  SCOPED_TRACE(testing::Message() << "\"10\" is " << text.cx << " x " << text.cy
                                  << ", the edit's text " << format.left << "," << format.top
                                  << " - " << format.right << "," << format.bottom
                                  << ", the arrows from " << spin.left);
  EXPECT_GT(text.cx, 0);
  EXPECT_LE(text.cx, format.right - format.left);
  EXPECT_LE(text.cy, format.bottom - format.top);
  EXPECT_LE(format.right, spin.left);  // the arrows cover none of the text
  EXPECT_GE(textLeft, formatLeft);
  EXPECT_LE(textLeft + text.cx, formatRight);
}

TEST(OptionsDialog, LevelOutsideTheRangeKeepsTheLevel) {
  // Only the up-down control writes the edit; any other text must not become a level.
  for (const wchar_t* text : {L"0", L"11", L""}) {
    OptionsDialog dialog(7, true, true);
    EXPECT_EQ(RunWith(dialog, [&](HWND d) { SetDlgItemTextW(d, IDC_LEVEL, text); }), 1);
    EXPECT_EQ(dialog.level, 7u) << "edit held " << testing::PrintToString(std::wstring(text));
  }
}

TEST(OptionsDialog, CheckBoxesAreReadOnOk) {
  OptionsDialog dialog(1, true, false);
  EXPECT_EQ(RunWith(dialog,
                    [](HWND d) {
                      SendDlgItemMessageW(d, IDC_PLAY_SOUND, BM_CLICK, 0, 0);
                      SendDlgItemMessageW(d, IDC_SHOW_PREVIEW, BM_CLICK, 0, 0);
                    }),
            1);
  EXPECT_EQ(dialog.playSound, 0);
  EXPECT_EQ(dialog.showPreview, 1);
}

TEST(OptionsDialog, CancelAndEscapeCloseNothing) {
  OptionsDialog dialog(3, false, false);
  bool openAfter = false;
  EXPECT_EQ(RunWith(dialog,
                    [&](HWND d) {
                      SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
                      MSG escape = {GetDlgItem(d, IDC_PLAY_SOUND), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
                      IsDialogMessageW(d, &escape);
                      openAfter = IsWindow(d) && IsWindowVisible(d);
                    }),
            1);
  EXPECT_TRUE(openAfter);
}

TEST(OptionsDialog, SetupKeysCallsTheLibraryWhenItHasTheExport) {
  struct Case {
    const char* name;
    HMODULE library;
    bool called;
  } cases[] = {
      {"exported", GetModuleHandleW(nullptr), true},
      {"not exported", GetModuleHandleW(L"kernel32.dll"), false},
      {"no library", nullptr, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetVelcoreLibrary(c.library);
    g_setupOwners.clear();
    OptionsDialog dialog(1, true, true);
    HWND shown = nullptr;
    EXPECT_EQ(RunWith(dialog,
                      [&](HWND d) {
                        shown = d;
                        SendDlgItemMessageW(d, IDC_SETUP_KEYS, BM_CLICK, 0, 0);
                      }),
              1);
    EXPECT_EQ(g_setupOwners, c.called ? std::vector<HWND>{shown} : std::vector<HWND>{});
  }
  SetVelcoreLibrary(nullptr);
}

}  // namespace
