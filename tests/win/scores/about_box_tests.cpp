// AboutBox through the real library: the caller's icon and strings, and the two links: their
// colours, focus, keyboard and stylus, and the programs they start.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/win/scores/dialog_probe.h"
#include "tests/win/scores/modal_driver.h"
#include "velcore/interface/velcore.h"

namespace {

constexpr int kIcon = 1000;
constexpr int kText = 1001;
constexpr int kWebLink = 1010;
constexpr int kMailLink = 1011;
constexpr char kWebAddress[] = "http://www.velmora-games.example/";
constexpr char kMailAddress[] = "support@velmora-games.example";
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(128, 0, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);

std::wstring WindowsFile(const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\" + name;
}

std::wstring BesideTest(const std::wstring& name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.rfind(L'\\') + 1) + name;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A stand-in program in the Windows folder, removed with its log afterwards.
class FakeProgram {
 public:
  explicit FakeProgram(const wchar_t* name) : path_(WindowsFile(name)), log_(path_ + L".log") {
    Remove();
    EXPECT_TRUE(CopyFileW(BesideTest(L"fake_launcher.exe").c_str(), path_.c_str(), FALSE));
  }
  ~FakeProgram() { Remove(); }
  FakeProgram(const FakeProgram&) = delete;
  FakeProgram& operator=(const FakeProgram&) = delete;

  static void EnsureAbsent(const wchar_t* name) { DeleteFileW(WindowsFile(name).c_str()); }

  // The command line the program was started with, or nothing when it was not started.
  std::optional<std::string> WaitForLog(DWORD timeoutMs = 10000) const {
    for (DWORD waited = 0;; waited += 50) {
      HANDLE file = CreateFileW(log_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        char text[4096] = {};
        DWORD read = 0;
        ReadFile(file, text, sizeof text - 1, &read, nullptr);
        CloseHandle(file);
        return std::string(text, read);
      }
      if (waited >= timeoutMs) return std::nullopt;
      Sleep(50);
    }
  }

 private:
  void Remove() const {
    DeleteFileW(log_.c_str());
    // The program may still be ending.
    for (int i = 0; i < 100 && GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
      if (DeleteFileW(path_.c_str())) break;
      Sleep(50);
    }
  }
  std::wstring path_;
  std::wstring log_;
};

// The browser's link colours for one test; what was there before comes back afterwards.
class BrowserColours {
 public:
  BrowserColours(const wchar_t* link, const wchar_t* visited) {
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key_, &disposition),
              ERROR_SUCCESS);
    created_ = disposition == REG_CREATED_NEW_KEY;
    Set(0, L"Anchor Color", link);
    Set(1, L"Anchor Color Visited", visited);
  }
  ~BrowserColours() {
    for (auto& saved : saved_) {
      if (saved.present) {
        RegSetValueExW(key_, saved.name, 0, saved.type, saved.bytes.data(),
                       static_cast<DWORD>(saved.bytes.size()));
      } else {
        RegDeleteValueW(key_, saved.name);
      }
    }
    RegCloseKey(key_);
    if (created_) RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
  }
  BrowserColours(const BrowserColours&) = delete;
  BrowserColours& operator=(const BrowserColours&) = delete;

 private:
  static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
  struct Saved {
    const wchar_t* name = nullptr;
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
  };
  void Set(int i, const wchar_t* name, const wchar_t* text) {
    Saved& saved = saved_[i];
    saved.name = name;
    DWORD size = 0;
    if (RegQueryValueExW(key_, name, nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
      saved.present = true;
      saved.bytes.resize(size);
      RegQueryValueExW(key_, name, nullptr, nullptr, saved.bytes.data(), &size);
    }
    if (text) {
      RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key_, name);
    }
  }
  HKEY key_ = nullptr;
  bool created_ = false;
  Saved saved_[2];
};

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
      EXPECT_EQ(TextOf(dialog), c.expectedCaption);
      EXPECT_EQ(TextOf(GetDlgItem(dialog, kText)), c.expectedText);
      const LRESULT icon = SendDlgItemMessageW(dialog, kIcon, STM_GETIMAGE, IMAGE_ICON, 0);
      EXPECT_EQ(icon != 0, c.hasIcon);
      for (int id : {kWebLink, kMailLink}) {
        HWND link = GetDlgItem(dialog, id);
        EXPECT_EQ(ClassOf(link), L"WTL_HyperLink") << id;
        EXPECT_TRUE(IsWindowVisible(link)) << id;
        EXPECT_EQ(SendMessageW(link, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
        RECT rect = {};
        GetClientRect(link, &rect);
        EXPECT_GT(rect.right, 0);  // the placeholder's rectangle
        EXPECT_GT(rect.bottom, 0);
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
      {"no colours", nullptr, nullptr, kBlue, kPurple},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BrowserColours colours(c.link, c.visited);
    FakeProgram browser(L"iexplore.exe");
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
    EXPECT_TRUE(EndsWith(*commandLine, std::string(" ") + kWebAddress)) << *commandLine;
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
    FakeProgram::EnsureAbsent(L"tmail.exe");
    std::optional<FakeProgram> tmail;
    if (c.tmailPresent) tmail.emplace(L"tmail.exe");
    FakeProgram pmail(L"pmail.exe");
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
      EXPECT_TRUE(EndsWith(*commandLine, std::string(" mailto:") + kMailAddress)) << *commandLine;
      EXPECT_FALSE(pmail.WaitForLog(500));
    } else {
      const auto commandLine = pmail.WaitForLog();
      ASSERT_TRUE(commandLine);
      EXPECT_TRUE(EndsWith(*commandLine, std::string(" -TO \"") + kMailAddress + "\""))
          << *commandLine;
    }
  }
}

TEST_F(AboutBoxTest, FailedLaunchChangesNothingAndShowsNothing) {
  BrowserColours colours(nullptr, nullptr);
  FakeProgram::EnsureAbsent(L"iexplore.exe");
  ModalDriver* running = nullptr;
  ModalDriver driver({[&](HWND dialog) {
    HWND link = GetDlgItem(dialog, kWebLink);
    const int windows = running->WindowsCreated();
    SendMessageW(link, WM_CHAR, VK_RETURN, 1);
    EXPECT_FALSE(Visited(link, kBlue, kPurple));
    EXPECT_EQ(running->WindowsCreated(), windows);  // no message box
    CloseWithOk(dialog);
  }});
  running = &driver;
  EXPECT_EQ(Call(driver), 1);
}

TEST_F(AboutBoxTest, StylusOpensOnlyWhenLiftedInsideTheLink) {
  BrowserColours colours(nullptr, nullptr);
  FakeProgram browser(L"iexplore.exe");
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

}  // namespace
