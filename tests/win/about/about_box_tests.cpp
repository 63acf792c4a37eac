// AboutBox through the real library: the caller's icon and strings, and the two links: their
// colours, focus, keyboard and stylus, and the programs they start.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/gdi_objects.h"
#include "tests/support/win_support.h"
#include "tests/support/launch_stand_ins.h"
#include "tests/support/modal_driver.h"
#include "velcore/interface/velcore.h"

namespace {

using namespace test_support;

constexpr int kIcon = 1000;
constexpr int kText = 1001;
constexpr int kWebLink = 1010;
constexpr int kMailLink = 1011;
constexpr char kWebAddress[] = "http://www.velmora-games.example/";
constexpr char kMailAddress[] = "support@velmora-games.example";
constexpr wchar_t kWebHost[] = L"www.velmora-games.example";
constexpr wchar_t kMailAddressText[] = L"support@velmora-games.example";
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(128, 0, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The window painted into white memory through its WM_PAINT with a device context.
struct Painting {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;

  int Count(COLORREF colour) const {
    int n = 0;
    for (COLORREF c : pixels) n += c == colour;
    return n;
  }
  int NotWhiteInColumn(int x) const {
    int n = 0;
    for (int y = 0; y < height; ++y) n += pixels[y * width + x] != kWhite;
    return n;
  }
};

Painting Paint(HWND window) {
  Painting p;
  RECT client = {};
  GetClientRect(window, &client);
  p.width = client.right;
  p.height = client.bottom;
  if (p.width <= 0 || p.height <= 0) return p;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = p.width;
  info.bmiHeader.biHeight = -p.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc || !bitmap) {
    ADD_FAILURE() << "no memory bitmap";
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    return p;
  }
  HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, p.width, p.height, WHITENESS);
  SendMessageW(window, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  GdiFlush();
  const auto* words = static_cast<const DWORD*>(bits);
  for (int i = 0; i < p.width * p.height; ++i) {
    p.pixels.push_back(RGB((words[i] >> 16) & 0xFF, (words[i] >> 8) & 0xFF, words[i] & 0xFF));
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return p;
}

bool Visited(HWND link, COLORREF linkColour, COLORREF visitedColour) {
  const Painting p = Paint(link);
  EXPECT_GT(p.Count(linkColour) + p.Count(visitedColour), 0) << "the label is not drawn";
  EXPECT_TRUE(p.Count(linkColour) == 0 || p.Count(visitedColour) == 0) << "both colours drawn";
  return p.Count(visitedColour) > 0;
}

// The links' placeholders in the template, in dialog units.
struct LinkPlace {
  int id;
  RECT units;
  const wchar_t* label;
} const kLinkPlaces[] = {
    {kWebLink, {4, 54, 4 + 119, 54 + 10}, kWebHost},
    {kMailLink, {4, 78, 4 + 119, 78 + 10}, kMailAddressText},
};

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

class AboutBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryW(kVelcoreLibraryName);
    ASSERT_NE(library_, nullptr);
    aboutBox_ =
        reinterpret_cast<AboutBoxFn>(reinterpret_cast<void*>(GetProcAddress(library_, "AboutBox")));
    ASSERT_NE(aboutBox_, nullptr);
  }
  void TearDown() override {
    if (library_) FreeLibrary(library_);
  }

  int Call(ModalDriver& driver, UINT iconId = 104, UINT textId = 110, UINT captionId = 109) {
    AboutBoxInfo info = {sizeof info, GetModuleHandleW(nullptr), nullptr, iconId, textId,
                         captionId};
    return driver.Run([&] { return aboutBox_(&info); });
  }

  HMODULE library_ = nullptr;
  AboutBoxFn aboutBox_ = nullptr;
};

TEST_F(AboutBoxTest, ShowsTheCallersIconTextAndCaption) {
  struct Case {
    const char* name;
    UINT icon, text, caption;
    const wchar_t* expectedCaption;
    const wchar_t* expectedText;
    bool hasIcon;
  } cases[] = {
      {"the game's ids", 104, 110, 109, L"About Talvenor", L"Talvenor. Version 1.2", true},
      {"all ids 0", 0, 0, 0, L"About", L"Text", false},
      {"ids the module lacks", 904, 910, 909, L"About", L"Text", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ModalDriver driver({[&](HWND dialog) {
      EXPECT_EQ(WindowText(dialog), c.expectedCaption);
      EXPECT_EQ(WindowText(GetDlgItem(dialog, kText)), c.expectedText);
      const LRESULT icon = SendDlgItemMessageW(dialog, kIcon, STM_GETIMAGE, IMAGE_ICON, 0);
      EXPECT_EQ(icon != 0, c.hasIcon);
      for (const auto& place : kLinkPlaces) {
        SCOPED_TRACE(place.id);
        HWND link = GetDlgItem(dialog, place.id);
        EXPECT_EQ(ClassOf(link), L"WTL_HyperLink");
        EXPECT_TRUE(IsWindowVisible(link));
        EXPECT_EQ(SendMessageW(link, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
        // The placeholder's rectangle, in the dialog's client area.
        RECT expected = place.units;
        ASSERT_TRUE(MapDialogRect(dialog, &expected));
        RECT actual = {};
        GetWindowRect(link, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(RectText(actual), RectText(expected));
      }
      // The About box has no controls that send IDOK: any IDOK is the title bar's.
      CloseWithOk(dialog);
    }});
    EXPECT_EQ(Call(driver, c.icon, c.text, c.caption), 1);
  }
}

TEST_F(AboutBoxTest, WebLinkColoursComeFromTheBrowserSettings) {
  struct Case {
    const char* name;
    const wchar_t* link;
    const wchar_t* visited;
    COLORREF linkColour;
    COLORREF visitedColour;
  } cases[] = {
      {"registry colours", L"0,128,0", L"128,0,0", RGB(0, 128, 0), RGB(128, 0, 0)},
      {"components past 255", L"256,128,0", L"384,0,0", RGB(0, 128, 0), RGB(128, 0, 0)},
      {"unparsable colours", L"0,0,", L"0,0", kBlue, kPurple},
      // At most 24 bytes are read: 11 characters and the NUL fit, 12 and the NUL do not.
      {"texts at and over 24 bytes", L"000,128,000", L"000,000,0128", RGB(0, 128, 0), kPurple},
      {"no colours", nullptr, nullptr, kBlue, kPurple},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BrowserColours colours(c.link, c.visited);
    FakeProgram browser(WindowsFile(L"iexplore.exe"));
    ModalDriver driver({[&](HWND dialog) {
      HWND link = GetDlgItem(dialog, kWebLink);
      EXPECT_FALSE(Visited(link, c.linkColour, c.visitedColour));
      SendMessageW(link, WM_CHAR, VK_RETURN, 1);
      EXPECT_TRUE(Visited(link, c.linkColour, c.visitedColour));
      CloseWithOk(dialog);
    }});
    EXPECT_EQ(Call(driver), 1);
    const auto commandLine = browser.WaitForLog();
    ASSERT_TRUE(commandLine);
    EXPECT_TRUE(commandLine->ends_with(std::string(" ") + kWebAddress)) << *commandLine;
  }
}

TEST_F(AboutBoxTest, MailLinkStartsTmailWhenPresentElsePmail) {
  BrowserColours colours(nullptr, nullptr);
  struct Case {
    const char* name;
    bool tmailPresent;
    WPARAM key;
  } cases[] = {{"tmail present", true, VK_RETURN}, {"tmail absent", false, VK_SPACE}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeProgram::EnsureAbsent(WindowsFile(L"tmail.exe"));
    std::optional<FakeProgram> tmail;
    if (c.tmailPresent) tmail.emplace(WindowsFile(L"tmail.exe"));
    FakeProgram pmail(WindowsFile(L"pmail.exe"));
    ModalDriver driver({[&](HWND dialog) {
      HWND link = GetDlgItem(dialog, kMailLink);
      SendMessageW(link, WM_CHAR, 'x', 1);  // other characters open nothing
      EXPECT_FALSE(Visited(link, kBlue, kPurple));
      SendMessageW(link, WM_CHAR, c.key, 1);
      EXPECT_TRUE(Visited(link, kBlue, kPurple));
      CloseWithOk(dialog);
    }});
    EXPECT_EQ(Call(driver), 1);
    if (c.tmailPresent) {
      const auto commandLine = tmail->WaitForLog();
      ASSERT_TRUE(commandLine);
      EXPECT_TRUE(commandLine->ends_with(std::string(" mailto:") + kMailAddress)) << *commandLine;
      EXPECT_FALSE(pmail.WaitForLog(500));
    } else {
      const auto commandLine = pmail.WaitForLog();
      ASSERT_TRUE(commandLine);
      EXPECT_TRUE(commandLine->ends_with(std::string(" -TO \"") + kMailAddress + "\""))
          << *commandLine;
    }
  }
}

TEST_F(AboutBoxTest, WithoutTheHandheldsProgramsLinksOpenWithTheDesktopsHandlers) {
  BrowserColours colours(nullptr, nullptr);
  struct Case {
    const char* name;
    int link;
    std::string commandEnd;
  } cases[] = {
      {"web", kWebLink, std::string(" \"") + kWebAddress + "\""},
      {"mail", kMailLink, std::string(" \"mailto:") + kMailAddress + "\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AddressHandlers handlers;
    ModalDriver driver({[&](HWND dialog) {
      HWND link = GetDlgItem(dialog, c.link);
      EXPECT_FALSE(Visited(link, kBlue, kPurple));
      SendMessageW(link, WM_CHAR, VK_RETURN, 1);
      EXPECT_TRUE(Visited(link, kBlue, kPurple));
      CloseWithOk(dialog);
    }});
    EXPECT_EQ(Call(driver), 1);
    const auto commandLine = handlers.WaitForLog();
    ASSERT_TRUE(commandLine);
    EXPECT_TRUE(commandLine->ends_with(c.commandEnd)) << *commandLine;
  }
}

TEST_F(AboutBoxTest, FailedLaunchChangesNothingAndShowsNothing) {
  BrowserColours colours(nullptr, nullptr);
  struct Case {
    const char* name;
    int link;
    bool brokenBrowser;  // the handheld's browser is there but cannot start
    bool noLaunch;       // handlers that work, but the system's launch call is missing
  } cases[] = {
      {"handheld browser that cannot start", kWebLink, true, false},
      {"no web handler that can start", kWebLink, false, false},
      {"no mail handler that can start", kMailLink, false, false},
      {"no launch call for the web", kWebLink, false, true},
      {"no launch call for mail", kMailLink, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AddressHandlers handlers(/*working=*/c.noLaunch);
    test_support::HiddenFunctions hidden(library_,
                                         {c.noLaunch ? "ShellExecuteExW" : "(none hidden)"});
    ASSERT_TRUE(hidden.Installed());
    const std::wstring browser = WindowsFile(L"iexplore.exe");
    if (c.brokenBrowser) {
      HANDLE file = CreateFileW(browser.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      CloseHandle(file);
    }
    ModalDriver* running = nullptr;
    ModalDriver driver({[&](HWND dialog) {
      HWND link = GetDlgItem(dialog, c.link);
      const int windows = running->WindowsCreated();
      SendMessageW(link, WM_CHAR, VK_RETURN, 1);
      EXPECT_FALSE(Visited(link, kBlue, kPurple));
      EXPECT_EQ(running->WindowsCreated(), windows);  // no message box
      CloseWithOk(dialog);
    }});
    running = &driver;
    EXPECT_EQ(Call(driver), 1);
    EXPECT_EQ(hidden.Refused(), c.noLaunch ? 1 : 0);
    FakeProgram::EnsureAbsent(browser);
  }
}

// Keys go through the dialog's own loop, as typed keys do: there Enter is the default button's
// unless the link asks for it.
TEST_F(AboutBoxTest, EnterOrSpaceOnAFocusedLinkOpensItAndTheBoxStays) {
  BrowserColours colours(nullptr, nullptr);
  struct Case {
    const char* name;
    int link;
    UINT key;
    std::string commandEnd;
  } cases[] = {
      {"enter on the web link", kWebLink, VK_RETURN, std::string(kWebAddress) + "\""},
      {"space on the web link", kWebLink, VK_SPACE, std::string(kWebAddress) + "\""},
      {"enter on the mail link", kMailLink, VK_RETURN, std::string(kMailAddress) + "\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AddressHandlers handlers;
    ModalDriver driver({
        [&](HWND dialog) {
          HWND link = GetDlgItem(dialog, c.link);
          SetFocus(link);
          ASSERT_EQ(GetFocus(), link);
          PostKeyPress(link, c.key);
        },
        [&](HWND dialog) {
          EXPECT_TRUE(IsWindowVisible(dialog));
          EXPECT_TRUE(Visited(GetDlgItem(dialog, c.link), kBlue, kPurple));
          CloseWithOk(dialog);
        },
    });
    EXPECT_EQ(Call(driver), 1);
    EXPECT_TRUE(driver.Finished());
    const auto commandLine = handlers.WaitForLog();
    ASSERT_TRUE(commandLine);
    EXPECT_TRUE(commandLine->ends_with(c.commandEnd)) << *commandLine;
  }
}

TEST_F(AboutBoxTest, OpensWithNoLinkFocusedSoEnterClosesItAndTabReachesTheLinks) {
  BrowserColours colours(nullptr, nullptr);
  AddressHandlers handlers;
  auto keyTarget = [](HWND dialog) {
    HWND focus = GetFocus();
    return focus ? focus : dialog;
  };
  auto noLinkFocused = [](HWND dialog) {
    EXPECT_NE(GetFocus(), GetDlgItem(dialog, kWebLink));
    EXPECT_NE(GetFocus(), GetDlgItem(dialog, kMailLink));
  };
  {
    SCOPED_TRACE("enter at once");
    ModalDriver driver({[&](HWND dialog) {
      noLinkFocused(dialog);
      PostKeyPress(keyTarget(dialog), VK_RETURN);
    }});
    EXPECT_EQ(Call(driver), 1);
    EXPECT_TRUE(driver.Finished());
  }
  {
    SCOPED_TRACE("tab, tab");
    ModalDriver driver({
        [&](HWND dialog) {
          noLinkFocused(dialog);
          PostKeyPress(keyTarget(dialog), VK_TAB);
        },
        [&](HWND dialog) {
          EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kWebLink));
          PostKeyPress(keyTarget(dialog), VK_TAB);
        },
        [&](HWND dialog) {
          EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kMailLink));
          CloseWithOk(dialog);
        },
    });
    EXPECT_EQ(Call(driver), 1);
    EXPECT_TRUE(driver.Finished());
  }
  EXPECT_FALSE(handlers.WaitForLog(500)) << "Enter or Tab started a program";
}

TEST_F(AboutBoxTest, StylusOpensOnlyWhenLiftedInsideTheLink) {
  BrowserColours colours(nullptr, nullptr);
  FakeProgram browser(WindowsFile(L"iexplore.exe"));
  ModalDriver driver({[&](HWND dialog) {
    HWND link = GetDlgItem(dialog, kWebLink);
    RECT rect = {};
    GetClientRect(link, &rect);
    const LPARAM inside = MAKELPARAM(2, 2);
    const LPARAM outside = MAKELPARAM(rect.right + 5, 2);
    SendMessageW(link, WM_LBUTTONUP, 0, inside);  // no press first
    EXPECT_FALSE(Visited(link, kBlue, kPurple));
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    EXPECT_EQ(GetCapture(), link);
    EXPECT_EQ(GetFocus(), link);
    SendMessageW(link, WM_LBUTTONUP, 0, outside);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(Visited(link, kBlue, kPurple));
    EXPECT_FALSE(browser.WaitForLog(300));
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    SendMessageW(link, WM_LBUTTONUP, 0, inside);
    EXPECT_TRUE(Visited(link, kBlue, kPurple));
    CloseWithOk(dialog);
  }});
  EXPECT_EQ(Call(driver), 1);
  EXPECT_TRUE(browser.WaitForLog());
}

TEST_F(AboutBoxTest, FocusRectangleFollowsTheFocus) {
  BrowserColours colours(nullptr, nullptr);
  ModalDriver driver({[&](HWND dialog) {
    HWND web = GetDlgItem(dialog, kWebLink);
    HWND mail = GetDlgItem(dialog, kMailLink);
    SetFocus(mail);
    Painting p = Paint(web);
    ASSERT_GT(p.width, 0);
    EXPECT_EQ(p.NotWhiteInColumn(p.width - 1), 0);  // the label ends well before the edge
    SetFocus(web);
    ASSERT_EQ(GetFocus(), web);
    p = Paint(web);
    EXPECT_GT(p.NotWhiteInColumn(p.width - 1), 0);
    SetFocus(mail);
    EXPECT_EQ(Paint(web).NotWhiteInColumn(p.width - 1), 0);
    CloseWithOk(dialog);
  }});
  EXPECT_EQ(Call(driver), 1);
}

TEST_F(AboutBoxTest, ClosingFreesTheLinksFontsAndTheIcon) {
  BrowserColours colours(nullptr, nullptr);
  // A first box leaves the system's own caches behind.
  ModalDriver warmUp({[](HWND dialog) { CloseWithOk(dialog); }});
  ASSERT_EQ(Call(warmUp), 1);
  const int before = OwnGdiObjects();
  ASSERT_GE(before, 0);
  ModalDriver driver({[&](HWND dialog) {
    EXPECT_GT(OwnGdiObjects(), before);
    CloseWithOk(dialog);
  }});
  EXPECT_EQ(Call(driver), 1);
  EXPECT_EQ(OwnGdiObjects(), before);
}

// Each label is drawn whole: in the link's own font it fits the link's rectangle on one line.
TEST_F(AboutBoxTest, LinkLabelsFitTheirRectangles) {
  const ScreenDpi resolution = ScreenResolution();
  if (resolution.expected != 0) {
    EXPECT_EQ(resolution.actual, resolution.expected);
  }
  const int dpi = resolution.actual;
  ModalDriver driver({[&](HWND dialog) {
    for (const auto& place : kLinkPlaces) {
      SCOPED_TRACE(place.id);
      HWND link = GetDlgItem(dialog, place.id);
      auto font = reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0));
      ASSERT_NE(font, nullptr);
      LOGFONTW description = {};
      ASSERT_TRUE(GetObjectW(font, sizeof description, &description));
      EXPECT_TRUE(description.lfUnderline);
      RECT client = {};
      GetClientRect(link, &client);
      HDC dc = GetDC(link);
      ASSERT_NE(dc, nullptr);
      HGDIOBJ old = SelectObject(dc, font);
      SIZE extent = {};
      GetTextExtentPoint32W(dc, place.label, lstrlenW(place.label), &extent);
      RECT drawn = {0, 0, client.right, 0};  // as painted: broken into lines where too wide
      DrawTextW(dc, place.label, -1, &drawn, DT_CALCRECT | DT_WORDBREAK);
      SelectObject(dc, old);
      ReleaseDC(link, dc);
      EXPECT_LE(extent.cx, client.right) << "at " << dpi << " dpi";
      EXPECT_LE(extent.cy, client.bottom) << "at " << dpi << " dpi";
      EXPECT_LE(drawn.bottom, client.bottom) << "at " << dpi << " dpi";
      // On a handheld's screen, 240 pixels across at 96 dpi, the link must end on it; at
      // more dots per inch the dialog outgrows such a screen, as every other does.
      RECT linkOnScreen = {}, dialogOnScreen = {};
      GetWindowRect(link, &linkOnScreen);
      GetWindowRect(dialog, &dialogOnScreen);
      if (dpi == 96) {
        EXPECT_LE(linkOnScreen.right - dialogOnScreen.left, 240);
      }
    }
    CloseWithOk(dialog);
  }});
  EXPECT_EQ(Call(driver), 1);
}

}  // namespace
